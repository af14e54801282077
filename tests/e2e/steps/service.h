#pragma once
#include <windows.h>

#include <string>

// The service as the tests and the benchmark install it by hand, the way Apply does: the image in
// Program Files, the machine key, a service that starts "<image>" /service. Everything goes again on
// destruction, whatever the case did.
class InstalledService {
  public:
    InstalledService(DWORD interval, const std::string& gwip, const std::string& gwmac);
    ~InstalledService();
    InstalledService(const InstalledService&) = delete;
    InstalledService& operator=(const InstalledService&) = delete;

    bool created() const { return service_ != nullptr; }
    bool start();

  private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
    std::string folder_;
};

// The process of the service named XirARP while it runs (however it was installed), 0 when it does not run.
DWORD runningServiceProcess();

// Stops and deletes the service named XirARP and removes its machine key, if there is any (a run that died half
// way may have left one behind). Returns once the service is gone and its process has ended, which holds the image
// until then; false when either is not so by the deadline.
bool removeService();
