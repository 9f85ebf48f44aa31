#include "cli/options.h"

#include <algorithm>
#include <optional>

namespace {

const OptionSpec* FindLong(std::span<const OptionSpec> specs, std::string_view name) {
    const auto it = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& s) { return s.Long == name; });
    return it == specs.end() ? nullptr : &*it;
}

const OptionSpec* FindShort(std::span<const OptionSpec> specs, char name) {
    const auto it = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& s) { return s.Short == name; });
    return it == specs.end() ? nullptr : &*it;
}

} // namespace

ParsedOptions ParseOptions(std::span<const std::string> args, std::span<const OptionSpec> specs) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.Values["help"] = "";
            continue;
        }
        const OptionSpec* known = nullptr;
        std::string shown = arg;
        std::optional<std::string> inlineValue;
        if (arg.size() > 2 && arg.starts_with("--")) {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            shown = "--" + name;
            known = FindLong(specs, name);
            if (equals != std::string::npos) {
                inlineValue = arg.substr(equals + 1);
            }
        } else if (arg.size() == 2 && arg[0] == '-' && arg[1] != '-') {
            known = FindShort(specs, arg[1]);
        } else {
            throw UsageError("unexpected argument '" + arg + "'");
        }
        if (known == nullptr) {
            throw UsageError("unknown option '" + shown + "'");
        }
        std::string& slot = parsed.Values[std::string(known->Long)];
        switch (known->Value) {
        case OptionValue::None:
            if (inlineValue) {
                throw UsageError("option '" + shown + "' takes no value");
            }
            slot.clear();
            break;
        case OptionValue::Optional:
            slot = inlineValue.value_or("");
            break;
        case OptionValue::Required:
            if (inlineValue) {
                slot = *inlineValue;
            } else if (i + 1 < args.size()) {
                slot = args[++i];
            } else {
                throw UsageError("option '" + shown + "' needs a value");
            }
            break;
        }
    }
    return parsed;
}
