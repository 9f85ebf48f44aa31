#include "cli/options.h"

#include "geometry/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>

namespace {

constexpr const char* ProgramName = "quillmere";

// The help layout: "--print[=QUEUE]", "-o, --output FILE", the option's own text instead of CLI11's type names,
// and "quillmere COMMAND [OPTIONS]" as the usage line.
class ToolHelpFormatter : public CLI::Formatter {
public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        std::string name = option->get_name(positional, true);
        for (std::size_t open; (open = name.find('{')) != std::string::npos;) {
            name.erase(open, name.find('}', open) - open + 1);
        }
        for (std::size_t comma = 0; (comma = name.find(',', comma)) != std::string::npos; comma += 2) {
            name.insert(comma + 1, " ");
        }
        return name;
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        const std::string& text = option->get_option_text();
        return text.empty() || text.front() == '[' ? text : " " + text;
    }
    std::string make_usage(const CLI::App* app, std::string name) const override {
        const bool hasCommands = !app->get_subcommands({}).empty();
        return get_label("Usage") + ": " + name + (hasCommands ? " COMMAND [OPTIONS]\n" : " [OPTIONS]\n");
    }
};

// The command's arguments with "--name=" of an option that takes a value turned into "--name" and "": CLI11 reads
// an empty value after "=" as none and would take the next argument instead.
std::vector<std::string> WithEmptyValuesSplit(const CLI::App* command, std::span<const std::string> args) {
    std::vector<std::string> result;
    for (const std::string& arg : args) {
        const std::size_t equals = arg.find('=');
        if (command != nullptr && arg.starts_with("--") && equals + 1 == arg.size()) {
            const CLI::Option* option = command->get_option_no_throw(arg.substr(0, equals));
            if (option != nullptr && option->get_items_expected_min() > 0) {
                result.push_back(arg.substr(0, equals));
                result.emplace_back();
                continue;
            }
        }
        result.push_back(arg);
    }
    return result;
}

// The one line for an argument the command does not know.
std::string ExtraArgumentMessage(const std::string& extra, std::span<const std::string> args) {
    if (extra.starts_with("-") && extra.size() > 1) {
        return "unknown option '" + extra.substr(0, extra.find('=')) + "'";
    }
    const auto at = std::find(args.begin(), args.end(), extra);
    if (at != args.begin() && at != args.end() && *(at - 1) == "--print") {
        return "unexpected argument '" + extra + "': to print on the queue " + extra + " write --print=" + extra;
    }
    return "unexpected argument '" + extra + "'";
}

// CLI11's message for an error, as one line in the tool's words.
std::string ParseErrorMessage(const CLI::ParseError& error) {
    std::string text = error.what();
    const std::size_t colon = text.find(": ");
    if (text.starts_with("--") && colon != std::string::npos) {
        const std::string option = text.substr(0, colon);
        const std::string rest = text.substr(colon + 2);
        if (rest.starts_with("must") || rest.starts_with("needs") || rest.starts_with("takes")) {
            return option + " " + rest;
        }
        if (rest.ends_with("missing")) {
            return "option '" + option + "' needs a value";
        }
    }
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// "help" alone is the tool's help, "help COMMAND" the command's, as "COMMAND --help" shows it.
std::string HelpOf(const CLI::App& tool, const std::vector<ToolCommand>& commands, std::span<const std::string> args) {
    if (args.empty()) {
        return tool.help();
    }
    if (args.size() > 1) {
        throw UsageError("unexpected argument '" + args[1] + "'");
    }
    for (const ToolCommand& command : commands) {
        if (command.Command->check_name(args.front())) {
            return command.Command->help(ProgramName);
        }
    }
    throw UsageError("unknown command '" + args.front() + "'");
}

} // namespace

CLI::App* AddToolCommand(CLI::App& tool, const std::string& name, const std::string& description) {
    CLI::App* command = tool.add_subcommand(name, description);
    // Unknown arguments are collected and reported in the tool's words rather than CLI11's.
    command->allow_extras();
    command->group("Commands");
    return command;
}

bool ReportWarnings(const std::vector<std::string>& warnings, bool strict) {
    for (const std::string& warning : warnings) {
        std::cerr << ProgramName << ": warning: " << warning << '\n';
    }
    if (strict && !warnings.empty()) {
        std::cerr << ProgramName << ": nothing written: --strict and " << warnings.size()
                  << (warnings.size() == 1 ? " warning\n" : " warnings\n");
        return true;
    }
    return false;
}

void PrepareTool(CLI::App& tool) {
    auto formatter = std::make_shared<ToolHelpFormatter>();
    formatter->column_width(30);
    formatter->label("Subcommands", "Commands");
    tool.formatter(formatter);
    tool.set_help_flag("-h,--help", "show this help");
    tool.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    tool.allow_extras();
    tool.footer("Run 'quillmere COMMAND --help' for the options of a command; 'man quillmere' explains them all.");
}

namespace {

const ToolCommand* NamedCommand(const std::vector<ToolCommand>& commands, std::span<const std::string> args) {
    if (args.empty()) {
        return nullptr;
    }
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const ToolCommand& c) { return c.Command->check_name(args.front()); });
    return it == commands.end() ? nullptr : &*it;
}

} // namespace

std::string HelpHintFor(const std::vector<ToolCommand>& commands, std::span<const std::string> args) {
    const ToolCommand* named = NamedCommand(commands, args);
    return named ? "quillmere " + named->Command->get_name() + " --help" : "quillmere --help";
}

void ReportToolError(const UsageError& error, const std::string& hint) {
    std::cerr << ProgramName << ": " << error.what() << " (try '" << hint << "')\n";
}

void ReportToolError(const CommandFailure& error) {
    std::cerr << ProgramName << ": " << error.what() << '\n';
}

int RunToolCommandLine(CLI::App& tool, const std::vector<ToolCommand>& commands, std::span<const std::string> args) {
    const ToolCommand* named = NamedCommand(commands, args);
    if (args.empty()) {
        throw UsageError("no command given");
    }
    if (args.front() == "help") {
        std::cout << HelpOf(tool, commands, args.subspan(1));
        return 0;
    }
    // CLI11 answers --version before it looks at what follows, which would pass over a mistyped command.
    if (args.front() == "--version" && args.size() > 1) {
        throw UsageError("--version takes nothing after it: unexpected argument '" + args[1] + "'");
    }
    std::vector<std::string> reversed = WithEmptyValuesSplit(named ? named->Command : nullptr, args);
    std::reverse(reversed.begin(), reversed.end());
    try {
        tool.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::cout << tool.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        throw UsageError(ParseErrorMessage(error));
    }
    if (named == nullptr || !named->Command->parsed()) {
        const std::vector<std::string> extras = tool.remaining();
        throw UsageError(extras.empty()                    ? "no command given"
                         : extras.front().starts_with("-") ? ExtraArgumentMessage(extras.front(), args)
                                                           : "unknown command '" + extras.front() + "'");
    }
    if (const std::vector<std::string> extras = named->Command->remaining(); !extras.empty()) {
        throw UsageError(ExtraArgumentMessage(extras.front(), args));
    }
    return named->Run();
}
