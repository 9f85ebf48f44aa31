#pragma once

#include <string>

// A refusal ("error"), a warning ("warning") or a note ("note") about the settings: a stable code, the option it
// concerns (empty for the settings as a whole) and the message as the tool prints it.
struct SettingNotice {
    std::string Code;
    std::string Field;
    std::string Severity;
    std::string Message;

    bool operator==(const SettingNotice&) const = default;
};
