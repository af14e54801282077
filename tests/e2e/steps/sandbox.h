#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "config/client_config.h"
#include "support/files.h"

// A fresh folder for one end-to-end case, holding copies of the program under test. The program starts
// arp.exe and ping.exe from the system folder: the recording stand-ins are put there (the test prefix is
// ours), and from the sandbox's creation on they log to its commands.log (see stand_in.cpp).
class Sandbox {
public:
    explicit Sandbox(const std::string& name);
    const std::string& folder() const { return folder_; }
    std::string path(const std::string& fileName) const { return folder_ + "\\" + fileName; }

    // Copies the padded administrator image here under the given file name; returns its path.
    std::string copyProgram(const std::string& fileName = "XirARP.exe") const;
    // A copy with the given bytes after its image, as Apply packages a client; returns its path.
    std::string copyClient(const std::string& trailer, const std::string& fileName = "XirARP-Client.exe") const;
    // Commands the stand-ins recorded, oldest first, bytes exactly as they were received.
    std::vector<std::string> recordedCommands() const;
    size_t countRecorded(const std::string& command) const;
    // The stand-ins are started and not waited for: waits until the command was recorded that many
    // times and returns the tick count it was seen at, or 0 after the time.
    DWORD waitForRecorded(const std::string& command, size_t count = 1, DWORD milliseconds = 15000) const;
    // Made if it is missing; the name may hold any character (UTF-8).
    std::string makeSubfolder(const std::string& name) const;
    // Puts the planted DLL (planted_dll.cpp) here under a system library's file name; returns the path of the file
    // it leaves once loaded.
    std::string plantDll(const std::string& fileName) const;

private:
    std::string folder_;
};

// What a client package holds unless a case says otherwise: a binding client of 192.168.1.1, English, every
// 600 seconds, with a digest no password of the cases gives.
ArpSettings clientSettings();

// The folder the program under test starts its system commands from (the driver has its bitness).
std::string systemFolder();
// Folder of the test driver, where the built program lies beside it.
std::string driverFolder();
// The folder that holds every sandbox of the run.
std::string sandboxRoot();
std::string adminImagePath();
