#pragma once
#define IDD_EMPTY_DIALOG 100
