#include "cli/command_settings.h"

#include "cli/output_file.h"
#include "cli/system_paper.h"
#include "geometry/confirmation_text.h"
#include "geometry/windows_1252.h"

#include <iostream>

const std::string_view FieldReadingNote =
    "Numbers: '.' or a decimal comma is the decimal point (\"57,5\" reads as 57.5, with a note; the Windows\n"
    "program reads 57), and reading stops at the first character that does not belong to the number, with a\n"
    "warning. Speeds: 33 1/3, 33.33, 33.3 and 33,3 are all 33 1/3 rpm; two speeds are 33,3+45 or 33.33,45.";

std::shared_ptr<CommandSettings> AddSettingOptions(CLI::App& command, SettingsCommand which) {
    auto settings = std::make_shared<CommandSettings>();
    settings->Command = which;
    for (const SettingRule& rule : RulesOf(which)) {
        const std::string name(rule.Name);
        std::optional<std::string>& text = settings->Texts[name];
        CLI::Option* option = nullptr;
        switch (rule.Form) {
        case SettingForm::Flag:
            option = command.add_flag("--" + name, settings->Flags[name], std::string(rule.Help));
            break;
        case SettingForm::OptionalValue:
            option = command.add_flag("--" + name + "{}", text, std::string(rule.Help));
            break;
        case SettingForm::Value:
            option = command.add_option((name == "output" ? "-o,--" : "--") + name +
                                            (rule.Alias.empty() ? "" : ",--" + std::string(rule.Alias)),
                                        text, std::string(rule.Help));
            break;
        }
        option->option_text(std::string(rule.ValueName))->group(std::string(rule.Group));
    }
    return settings;
}

SettingsReport ReadCommandSettings(const CommandSettings& settings, bool keepRefused) {
    NamedSettings named;
    for (const auto& [name, text] : settings.Texts) {
        if (text) {
            named[name] = *text;
        }
    }
    for (const auto& [name, on] : settings.Flags) {
        if (on) {
            named[name] = "";
        }
    }
    SettingsReport report = ReadSettings(settings.Command, named, {SystemPaperSize(), true});
    if (report.Refused() && !keepRefused) {
        throw UsageError(report.Refusals.front().Message);
    }
    // A page for a terminal is a usage error like the others: refused before the command prints anything.
    if (const ReadSetting* output = report.Find("output"); output != nullptr && output->Given) {
        if (const Outcome allowed = CheckOutputPath(output->Text); !allowed) {
            throw UsageError(allowed.Message());
        }
    }
    return report;
}

bool ReportNotices(const SettingsReport& report) {
    std::vector<std::string> warnings;
    for (const SettingNotice& warning : report.Warnings) {
        warnings.push_back(warning.Message);
    }
    if (ReportWarnings(warnings, report.Strict)) {
        return true;
    }
    for (const SettingNotice& note : report.Notes) {
        std::cerr << "quillmere: " << note.Message << '\n';
    }
    return false;
}

bool AnswerWithReport(const SettingsReport& report, bool json) {
    if (json) {
        std::cout << ReportJson(report) << std::flush;
    }
    if (report.Refused()) {
        throw UsageError(report.Refusals.front().Message);
    }
    return ReportNotices(report);
}

ToolCommand AddValuesCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "values", "compute the alignment and print its ten values");
    auto settings = AddSettingOptions(*command, SettingsCommand::Values);
    command->footer(std::string(FieldReadingNote));
    return {command, [settings] {
                const SettingsReport report = ReadCommandSettings(*settings, true);
                const bool json = report.ReportFormat == "json";
                if (AnswerWithReport(report, json)) {
                    return 2;
                }
                if (!json) {
                    std::cout << Windows1252ToUtf8(ConfirmationText(report.Alignment)) << '\n';
                }
                return std::cout.flush() ? 0 : 1;
            }};
}
