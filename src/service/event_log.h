#pragma once
#include <windows.h>

#include <vector>

#include "service/gateway_guard.h"

// Writes the service's entries to the Application event log under the source "XirARP", whose messages are
// this image's message table. A log that cannot be opened takes the entries silently: the service goes on. Each
// entry carries the process's user SID, so that an entry of the service (LocalSystem) tells itself apart from
// one any user may write under the same source.
class EventLogWriter : public GuardOutlet {
  public:
    EventLogWriter();
    ~EventLogWriter() override;
    EventLogWriter(const EventLogWriter&) = delete;
    EventLogWriter& operator=(const EventLogWriter&) = delete;

    void tell(const GuardEvent& event) override;

  private:
    HANDLE source_;
    std::vector<BYTE> user_;  // the process's user SID, which every entry carries
};

// One error entry under the same source for a failed "/install" or "/uninstall": the command and the step.
void reportSetupFailure(const wchar_t* command, const wchar_t* step);
