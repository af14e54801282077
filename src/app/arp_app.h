#pragma once

// The application object: start-up, the run mode, and the main window's modal run.
class CArpApp {
public:
    // Runs the whole start-up and the main window; returns false on every path, which ends the process.
    bool InitInstance();
};
