#pragma once

#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A usage error: one line for stderr; the tool exits with code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure to do what was asked (unwritable file, printer refused): exit code 1.
class CommandFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class OptionValue { None, Required, Optional };

struct OptionSpec {
    std::string_view Long; // without the leading "--"
    char Short = 0;        // 0 when there is no short form
    OptionValue Value = OptionValue::Required;
};

struct ParsedOptions {
    // Options as given, by long name; the last occurrence wins. A flag or an optional value left out maps to "".
    std::map<std::string, std::string, std::less<>> Values;
    bool Has(std::string_view name) const { return Values.find(name) != Values.end(); }
    const std::string* Find(std::string_view name) const {
        const auto it = Values.find(name);
        return it == Values.end() ? nullptr : &it->second;
    }
};

// Reads "--name VALUE", "--name=VALUE", "-x VALUE" and flags; "--help"/"-h" is always known.
ParsedOptions ParseOptions(std::span<const std::string> args, std::span<const OptionSpec> specs);
