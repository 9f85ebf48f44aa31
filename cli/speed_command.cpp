#include "cli/speed_command.h"

#include "cli/command_settings.h"
#include "cli/output_file.h"
#include "cli/page_options.h"
#include "print/printouts.h"
#include "speed/speed_advice.h"
#include "speed/speed_meter.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Frames read at a time: a block of about 0.2 s at 44.1 kHz keeps the reading buffer small whatever the file.
constexpr sf_count_t BlockFrames = 8192;

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

// libsndfile's reason as the tool words its own: without the final period.
std::string Reason(SNDFILE* file) {
    std::string reason = sf_strerror(file);
    while (!reason.empty() && (reason.back() == '.' || reason.back() == '\n')) {
        reason.pop_back();
    }
    for (char& c : reason) {
        c = c == '\n' ? ' ' : c;
    }
    return reason;
}

// The recording opened for reading: standard output's counterpart "-" is standard input. A missing or unreadable
// file fails as other reads do (exit code 1); a folder, an empty file or one that is no sound file is the user's
// mistake (exit code 2).
SoundFile OpenRecording(const std::string& path, SF_INFO& info) {
    info = {};
    if (path == "-") {
        SoundFile file(sf_open_fd(STDIN_FILENO, SFM_READ, &info, 0));
        if (!file) {
            throw UsageError("standard input holds no sound file libsndfile can read (WAV, FLAC, Ogg): " +
                             Reason(nullptr));
        }
        return file;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        throw CommandFailure("cannot read '" + path + "': " + std::strerror(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        throw UsageError("'" + path + "' is a folder, not a recording");
    }
    if (S_ISREG(status.st_mode) && status.st_size == 0) {
        throw UsageError("'" + path + "' is empty: no recording to measure");
    }
    if (access(path.c_str(), R_OK) != 0) {
        throw CommandFailure("cannot read '" + path + "': " + std::strerror(errno));
    }
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        throw UsageError("'" + path + "' is no sound file libsndfile can read (WAV, FLAC, Ogg): " + Reason(nullptr));
    }
    return file;
}

// Progress on a terminal for a long recording: the seconds read, redrawn in place about five times a second.
class Progress {
public:
    explicit Progress(double totalSeconds) : Total(totalSeconds), Shown(isatty(STDERR_FILENO) != 0) {}
    ~Progress() {
        if (Drawn) {
            std::cerr << "\r\033[K" << std::flush;
        }
    }

    void At(double seconds) {
        if (!Shown) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - Start < std::chrono::milliseconds(500) || now - Last < std::chrono::milliseconds(200)) {
            return;
        }
        Last = now;
        Drawn = true;
        std::cerr << "\rquillmere: measuring " << SpeedNumberText(seconds, 0) << " s"
                  << (Total > 0 ? " of " + SpeedNumberText(Total, 0) + " s" : std::string()) << "\033[K" << std::flush;
    }

private:
    double Total = 0;
    bool Shown = false;
    bool Drawn = false;
    std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point Last = Start;
};

// The bytes of a sample in a WAV of little-endian 16- or 24-bit PCM, the usual recording, or 0 for any other: those
// two are turned into floats here straight from their bytes, since libsndfile's own conversion took as long as the
// whole measurement. The values are libsndfile's to the bit: full scale is 1.
int RawSampleBytes(SNDFILE* file, const SF_INFO& info) {
    const int container = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    if ((container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX) ||
        (info.format & SF_FORMAT_ENDMASK) == SF_ENDIAN_BIG || std::endian::native != std::endian::little ||
        sf_command(file, SFC_RAW_DATA_NEEDS_ENDSWAP, nullptr, 0) != 0) {
        return 0;
    }
    return subtype == SF_FORMAT_PCM_16 ? 2 : subtype == SF_FORMAT_PCM_24 ? 3 : 0;
}

// The bytes little-endian as the host's (RawSampleBytes checks it); `bytes` has one byte to spare at its end, since
// each 24-bit sample is loaded as a word of four.
void RawToFloat(const unsigned char* bytes, std::size_t samples, int sampleBytes, float* out) {
    if (sampleBytes == 2) {
        for (std::size_t i = 0; i < samples; ++i) {
            std::int16_t value = 0;
            std::memcpy(&value, bytes + 2 * i, sizeof value);
            out[i] = static_cast<float>(value) * (1.0f / 32768);
        }
        return;
    }
    for (std::size_t i = 0; i < samples; ++i) {
        std::uint32_t word = 0;
        std::memcpy(&word, bytes + 3 * i, sizeof word);
        // The three bytes into the top of the word, then shifted down with their sign.
        out[i] = static_cast<float>(static_cast<std::int32_t>(word << 8) >> 8) * (1.0f / 8388608);
    }
}

Result<SpeedReport> MeasureRecording(const std::string& path, const SpeedRequest& request) {
    SF_INFO info;
    SoundFile file = OpenRecording(path, info);
    SpeedMeterSettings settings;
    settings.SampleRate = info.samplerate;
    settings.Channels = info.channels;
    settings.NominalToneHz = request.ToneHz;
    settings.NominalRpm = request.Rpm;
    Result<SpeedMeter> created = SpeedMeter::Create(settings);
    if (!created) {
        return Failure{created.Message()};
    }
    SpeedMeter meter = std::move(created).Value();
    // Integer samples are read as floats scaled to -1..1, so that full scale is 1 whatever the sample format.
    sf_command(file.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    std::vector<float> block(static_cast<std::size_t>(BlockFrames * info.channels));
    const bool lengthKnown = path != "-" && info.frames > 0 && info.frames < (sf_count_t{1} << 40);
    Progress progress(lengthKnown ? static_cast<double>(info.frames) / info.samplerate : 0);
    const int sampleBytes = RawSampleBytes(file.get(), info);
    std::vector<unsigned char> raw(static_cast<std::size_t>(sampleBytes) * block.size() + 1);
    for (;;) {
        std::size_t samples = 0;
        if (sampleBytes > 0) {
            const sf_count_t bytes = sf_read_raw(file.get(), raw.data(), static_cast<sf_count_t>(raw.size() - 1));
            samples = bytes > 0 ? static_cast<std::size_t>(bytes) / static_cast<std::size_t>(sampleBytes) : 0;
            RawToFloat(raw.data(), samples, sampleBytes, block.data());
        } else {
            const sf_count_t frames = sf_readf_float(file.get(), block.data(), BlockFrames);
            samples = frames > 0 ? static_cast<std::size_t>(frames * info.channels) : 0;
        }
        if (samples == 0) {
            break;
        }
        meter.Feed(std::span<const float>(block.data(), samples));
        progress.At(meter.SecondsFed());
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        throw CommandFailure("cannot read '" + path + "': " + Reason(file.get()));
    }
    return meter.Finish();
}

std::string Percent(double value, int decimals = 3) {
    return SpeedNumberText(value, decimals) + " %";
}

std::string FiguresText(const SpeedReport& speed) {
    std::ostringstream out;
    out << "Platter speed from a " << HzText(speed.NominalToneHz) << " Hz tone (measured "
        << SpeedNumberText(speed.MeasuredToneHz, 2) << " Hz), " << SpeedNumberText(speed.FromSeconds, 1) << " to "
        << SpeedNumberText(speed.ToSeconds, 1) << " s of the recording (" << speed.Revolutions
        << " whole revolutions)\n";
    out << "  speed error      " << (speed.ErrorPercent > 0 ? "+" : "") << Percent(speed.ErrorPercent) << "  ("
        << SpeedNumberText(speed.Rpm, 3) << " rpm for " << RpmText(speed.NominalRpm) << ")\n";
    out << "  drift            " << (speed.DriftPercentPerMinute > 0 ? "+" : "") << Percent(speed.DriftPercentPerMinute)
        << " per minute\n";
    out << "  wow and flutter  " << Percent(speed.Weighted2SigmaPercent) << " weighted, "
        << Percent(speed.Unweighted2SigmaPercent) << " unweighted (two sigma); " << Percent(speed.WeightedRmsPercent)
        << " weighted RMS\n";
    if (!speed.Components.empty()) {
        out << "Strongest components of the speed deviation (peak):\n";
        for (const SpeedComponent& component : speed.Components) {
            std::string hz = SpeedNumberText(component.Hz, component.Hz < 10 ? 3 : 2) + " Hz";
            out << "  " << std::string(hz.size() < 11 ? 11 - hz.size() : 0, ' ') << hz << "  "
                << Percent(component.Percent) << "  " << component.Name << '\n';
        }
    }
    out << "What to do:\n";
    for (const std::string& step : speed.Advice) {
        out << "  - " << step << '\n';
    }
    return out.str();
}

std::string TraceCsv(const SpeedReport& speed) {
    std::string csv = "seconds,unweighted_percent,weighted_percent\n";
    for (const SpeedTracePoint& point : speed.Trace) {
        csv += SpeedNumberText(point.Seconds, 3) + "," + SpeedNumberText(point.Unweighted, 5) + "," +
               SpeedNumberText(point.Weighted, 5) + "\n";
    }
    return csv;
}

int RunSpeed(const CommandSettings& settings, const std::string& recording) {
    SettingsReport report = ReadCommandSettings(settings, true);
    if (report.Refused()) {
        throw UsageError(report.Refusals.front().Message);
    }
    SetSpeedResult(report, MeasureRecording(recording, *report.SpeedInput));
    const bool chart = report.Page.Output.has_value();
    const bool jsonAlone = report.ReportFormat == "json" && !chart;
    if (AnswerWithReport(report, jsonAlone)) {
        return 2;
    }
    if (jsonAlone) {
        return std::cout ? 0 : 1;
    }
    std::ostream& out = chart && IsStandardOutput(*report.Page.Output) ? std::cerr : std::cout;
    out << (report.ReportFormat == "json"  ? ReportJson(report)
            : report.ReportFormat == "csv" ? TraceCsv(*report.Speed)
                                           : FiguresText(*report.Speed))
        << std::flush;
    if (chart) {
        WriteOrPrintPage(report, false, "Platter speed and wow and flutter", "",
                         [&](PrintSurface& surface) { PrintSpeedChart(surface, *report.Speed); });
    }
    return out ? 0 : 1;
}

} // namespace

ToolCommand AddSpeedCommand(CLI::App& tool) {
    CLI::App* command = AddToolCommand(tool, "speed",
                                       "measure the platter's speed, drift and wow and flutter from a recording of a "
                                       "test record's tone");
    auto recording = std::make_shared<std::string>();
    command->add_option("RECORDING", *recording, "the recording: WAV, FLAC or Ogg; - reads standard input")
        ->required()
        ->option_text(" ");
    auto settings = AddSettingOptions(*command, SettingsCommand::Speed);
    command->footer(
        "Record the speed track of a test record (3150 Hz, 3000 Hz or 1000 Hz) from its start for 30 s or more,\n"
        "through a line input or with a phone lying on the plinth; lead-in, needle drop and run-out are skipped.\n"
        "The figures cover whole revolutions of the longest steady stretch. Weighted: IEC 60386 / AES6, two sigma\n"
        "(the value the deviation exceeds 5 % of the time). Unweighted: 0.2 to 200 Hz. The chart is written\n"
        "completely or not at all; with -o - it goes to standard output and the figures to stderr.");
    return {command, [settings, recording] { return RunSpeed(*settings, *recording); }};
}
