#pragma once
#include <windows.h>

#include "service/gateway_guard.h"

// Writes the service's entries to the Application event log under the source "XirARP", whose messages are
// this image's message table. A log that cannot be opened takes the entries silently: the service goes on.
class EventLogWriter : public GuardOutlet {
  public:
    EventLogWriter();
    ~EventLogWriter() override;
    EventLogWriter(const EventLogWriter&) = delete;
    EventLogWriter& operator=(const EventLogWriter&) = delete;

    void tell(const GuardEvent& event) override;

  private:
    HANDLE source_;
};
