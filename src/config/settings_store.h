#pragma once
#include <optional>
#include <string>

#include "config/arp_settings.h"
#include "net/address_text.h"

// The two keys the settings live in: the user's, and the machine key the service pins from (which holds only
// "timer", "gwmac" and "gwip", with the same names and types).
enum class SettingsRoot { User, Machine };

// The stored settings, read once: values that are missing or of another type take their defaults (0, empty; the
// language kLanguageUnset). "mode" is never stored. Nothing is checked here: the binding checks what it pins, and
// the syslog collector is taken as loadSyslogValue reads it.
ArpSettings loadSettings(SettingsRoot root);

// Stores "timer", "gwmac", "gwip" and "syslog" (an empty collector removes the value), and in the user's key
// "service", each written even when unchanged. They share one key, so a key that cannot be written refuses all of
// them; every write is tried all the same. True when all were written.
bool storeSettings(SettingsRoot root, const ArpSettings& settings);

// The service's word that its gateway is away, with the router that answers instead (kMachineAwayValuePath); an
// empty text removes it. The read is none without a MAC text there.
void storeServiceAway(const std::string& answeringMac);
std::optional<MacBytes> loadServiceAway();
// The service's word that its pinned gateway is silent (kMachineSilentValuePath); false removes it.
void storeServiceSilent(bool silent);
bool loadServiceSilent();

// Whether the pinned gateway of the settings in that key answered an echo before; stored once it did.
bool loadEchoAnswered(SettingsRoot root, const MacBytes& pinned);
void storeEchoAnswered(SettingsRoot root, const MacBytes& pinned);

// The collector value of that key as stored (kSyslogValuePath), not checked; empty when there is none.
std::string loadSyslogValue(SettingsRoot root);

// Whether the binding of that key may judge its gateway away (kRoamingValuePath): true unless 0 is stored.
bool loadRoaming(SettingsRoot root);
