// Any settings, named or misnamed, with any texts, for any command: the settings layer refuses or reads them
// without crashing, its report is well-formed JSON whose refusals say whether it was refused, and a page it accepts
// prints as one well-formed job.
#include "print/page_model.h"
#include "print/printouts.h"
#include "print/recording_device.h"
#include "recorded_job_checks.h"
#include "settings/settings.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Broken(const char* rule) {
    std::fprintf(stderr, "broken: %s\n", rule);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    constexpr SettingsCommand Commands[] = {SettingsCommand::Values, SettingsCommand::Arc, SettingsCommand::Strobe,
                                            SettingsCommand::Analyse};
    const SettingsCommand command = Commands[input.ConsumeIntegralInRange<int>(0, 3)];
    const std::vector<SettingRule> rules = RulesOf(command);
    NamedSettings settings;
    for (int count = input.ConsumeIntegralInRange(0, 12); count > 0; --count) {
        // Mostly the command's own names, now and then any name at all.
        const std::string name =
            input.ConsumeIntegralInRange(0, 15) == 0
                ? input.ConsumeRandomLengthString(12)
                : std::string(rules[input.ConsumeIntegralInRange<std::size_t>(0, rules.size() - 1)].Name);
        settings[name] = input.ConsumeRandomLengthString(40);
    }
    const bool checkPages = input.ConsumeBool();
    const SettingsReport report = ReadSettings(command, settings, {PaperSize::A4, checkPages});

    // nlohmann-json throws on text that is no UTF-8: every text in the report must have been converted.
    const nlohmann::json json = nlohmann::json::parse(ReportJson(report));
    if (json["refusals"].empty() == report.Refused()) {
        Broken("the report's refusals do not say whether it was refused");
    }
    for (const SettingNotice& notice : report.Refusals) {
        if (notice.Severity != "error" || notice.Message.empty() || notice.Code.empty()) {
            Broken("a refusal without its code, severity or message");
        }
    }
    for (const SettingNotice& notice : report.Warnings) {
        if (notice.Severity != "warning" || notice.Message.empty() || notice.Code.empty()) {
            Broken("a warning without its code, severity or message");
        }
    }
    if (report.Refused() || command == SettingsCommand::Values) {
        return 0;
    }
    std::vector<DeviceRequest> log;
    RecordingDeviceSettings device;
    device.Resolution = DevicePoint{report.Page.Dpi, report.Page.Dpi};
    RecordingPrinterChooser printer(log, device);
    {
        PrintSurface surface(printer, report.Page.Colours);
        if (command == SettingsCommand::Arc) {
            (void)PrintArcTemplate(surface, ArcTemplateJobOf(report), EdgeMarks::KeptOnPage);
        } else if (command == SettingsCommand::Strobe) {
            PrintStrobeDiskLayout(surface, report.Correction, *report.Disk);
        } else {
            PrintAnalysisChart(surface, *report.Analysis);
        }
    }
    fuzz_checks::CheckOnePageJob(log, "page of accepted settings");
    return 0;
}
