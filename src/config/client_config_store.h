#pragma once
#include <cstdint>
#include <string>

struct ClientConfigImport {
    bool headerFound = false;
    std::string modeToken;  // empty when the text carries none
    int32_t language = 0;   // always the system's language number
};

// Parses the bytes behind the administrator image and stores what it finds under the settings key.
// Every required key that cannot be read is reported once with "parse configuration fail!!" (caption given,
// UTF-8) and stored neither. The gateway MAC is stored as formatMacText writes it. A text whose gateway MAC is no
// host's (isHostMac) is warned about in the system's language, one whose MAC cannot be read (parseMacBytes) with
// "parse configuration fail!!", and either stores nothing at all; so does a text whose syslog collector
// parseSyslogCollector refuses, with "parse configuration fail!!". A text without a collector removes the stored one.
ClientConfigImport importClientConfig(const std::string& tail, uint16_t systemLangId, const std::string& caption);

// Appends the configuration text to an existing file (a fresh copy of the administrator image).
// Other writers are kept out while it writes. False when the file cannot be opened or written.
bool appendClientConfig(const std::wstring& path, const std::string& text);
