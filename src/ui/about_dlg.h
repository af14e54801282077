#pragma once
#include <windows.h>

#include "ui/dialog.h"

// The About box: the program's icon, name and version, the notice and the maker's web site, in English
// whatever the window's language. OK, Enter, Esc and the close box end it.
class CAboutDlg : public CDialog {
  public:
    explicit CAboutDlg(HWND parent = nullptr);
    ~CAboutDlg() override = default;
};
