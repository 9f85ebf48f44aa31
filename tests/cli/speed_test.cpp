#include "speed/flutter_weighting.h"
#include "tests/cli/page_raster.h"
#include "tests/cli/recorded_take.h"
#include "tests/cli/run_tool.h"
#include "tests/unit/speed_signal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using speed_test::Click;
using speed_test::Take;
using speed_test::ToneSynth;
using speed_test::ToneTake;
using speed_test::WriteTake;

struct FileCase {
    std::string Name;
    int Format;
    ToneTake Take;
    std::vector<std::string> Options = {};
};

// Every sample format and rate the tool is meant for reads to the same truth.
TEST(SpeedCommand, RecordingsOfEveryFormatGiveTheirTruth) {
    const std::string folder = FreshTestFolder("speed-formats");
    const std::vector<FileCase> cases = {
        {"mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, Take(44100, 1, 3150, -0.85)},
        {"stereo24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Take(48000, 2, 3000, 1.7)},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, Take(96000, 2, 1000, -2)},
        {"take.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, Take(48000, 2, 3150, 0.35)},
        {"take.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, Take(44100, 1, 3150, 0.1)},
        {"given.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Take(48000, 1, 4000, 0.5), {"--tone", "4000"}},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = WriteTake(folder, c.Name, c.Take, c.Format);
        std::vector<std::string> args = {"speed", path, "--format", "json"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        const ToolResult result = RunTool(args);
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        const nlohmann::json speed = nlohmann::json::parse(result.Out)["speed"];
        const double error = c.Take.ErrorPercent;
        EXPECT_NEAR(speed["error_percent"].get<double>(), error, 0.002);
        EXPECT_EQ(speed["nominal_tone_hz"].get<double>(), c.Take.ToneHz);
        const double rate = c.Take.Rate / std::round(c.Take.Rate / 1000);
        // The swing at 0.556 Hz and 6.3 Hz at a third of it: their weighted sum peaks close to the sum of peaks.
        double weighted = 0;
        for (const speed_test::Modulation& m : c.Take.Modulations) {
            weighted += m.PeakPercent / (1 + error / 100) * FlutterWeightingFilter(rate).Gain(m.Hz);
        }
        EXPECT_LT(speed["weighted_2sigma_percent"].get<double>(), weighted);
        EXPECT_GT(speed["weighted_2sigma_percent"].get<double>(), 0.8 * weighted);
        const nlohmann::json& swing = speed["components"][0];
        EXPECT_EQ(swing["name"], "once per revolution");
        EXPECT_NEAR(swing["hz"].get<double>(), 100.0 / 3 / 60, 0.01 * 0.556);
        EXPECT_NEAR(swing["percent"].get<double>(), 0.06 / (1 + error / 100), 0.05 * 0.06);
        EXPECT_NEAR(speed["from_s"].get<double>(), 1.5 + 2.5, 0.2);
    }
}

// Standard input takes a recording as a file does.
TEST(SpeedCommand, StandardInputIsReadAsAFile) {
    const std::string folder = FreshTestFolder("speed-stdin");
    const std::string path = WriteTake(folder, "take.wav", Take(48000, 2, 3150, 0.6), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ToolResult file = RunTool({"speed", path, "--format", "csv"});
    const std::string out = folder + "/out.csv";
    const std::string command =
        std::string(QUILLMERE_TOOL) + " speed - --format csv < " + Quoted(path) + " > " + Quoted(out) + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadWholeFile(out), file.Out);
    // The trace: time, unweighted and weighted deviation in %, in time order within the stretch measured.
    const std::vector<std::string> lines = Lines(file.Out);
    ASSERT_GT(lines.size(), 1000u);
    EXPECT_EQ(lines[0], "seconds,unweighted_percent,weighted_percent");
    double last = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream row(lines[i]);
        double t = 0, u = 0, w = 0;
        char comma = 0;
        ASSERT_TRUE(row >> t >> comma >> u >> comma >> w) << lines[i];
        EXPECT_GT(t, last);
        EXPECT_LT(std::fabs(u), 0.1);
        last = t;
    }
}

// The same integers in another container, copied from a WAV: libsndfile's writers scale floats differently.
std::string CopyAs(const std::string& from, const std::string& to, int format) {
    SF_INFO in{};
    SNDFILE* source = sf_open(from.c_str(), SFM_READ, &in);
    SF_INFO out = in;
    out.format = format;
    SNDFILE* target = sf_open(to.c_str(), SFM_WRITE, &out);
    EXPECT_TRUE(source != nullptr && target != nullptr) << sf_strerror(nullptr);
    std::vector<int> block(static_cast<std::size_t>(4096 * in.channels));
    for (sf_count_t frames = 0;
         source != nullptr && target != nullptr && (frames = sf_readf_int(source, block.data(), 4096)) > 0;) {
        sf_writef_int(target, block.data(), frames);
    }
    sf_close(source);
    sf_close(target);
    return to;
}

// WAVs of 16- and 24-bit PCM are read from their bytes, everything else through libsndfile's floats: the same
// samples as a WAV, as a big-endian AIFF and as a FLAC give the very same report.
TEST(SpeedCommand, AWavReadsToTheSameSamplesAsOtherContainers) {
    const std::string folder = FreshTestFolder("speed-containers");
    for (const int bits : {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24}) {
        ToneTake take = Take(44100, 2, 3150, -0.35);
        take.Level = 0.95;
        const std::string name = folder + "/take" + (bits == SF_FORMAT_PCM_16 ? "16" : "24");
        const std::string wav = WriteTake(folder, name.substr(folder.size() + 1) + ".wav", take, SF_FORMAT_WAV | bits);
        const ToolResult fromWav = RunTool({"speed", wav, "--format", "csv"});
        ASSERT_EQ(fromWav.ExitCode, 0) << fromWav.Err;
        EXPECT_GT(fromWav.Out.size(), 10000u);
        for (const auto& [suffix, format] : {std::pair{".aiff", SF_FORMAT_AIFF}, std::pair{".flac", SF_FORMAT_FLAC}}) {
            const std::string other = CopyAs(wav, name + suffix, format | bits);
            const ToolResult fromOther = RunTool({"speed", other, "--format", "csv"});
            EXPECT_EQ(fromOther.Out, fromWav.Out) << other;
            EXPECT_EQ(fromOther.Err, fromWav.Err) << other;
        }
    }
}

struct BadCase {
    std::string Name;
    std::string Path;
    int ExitCode;
    std::string Says;
    std::vector<std::string> Options = {};
};

TEST(SpeedCommand, WhatCannotBeMeasuredIsRefusedWithoutFigures) {
    const std::string folder = FreshTestFolder("speed-bad");
    ToneTake silent = Take(44100, 1, 3150, 0);
    silent.Level = 0;
    silent.NoiseRms = 0;
    ToneTake noise = silent;
    noise.NoiseRms = 0.2;
    ToneTake shortTake = Take(44100, 2, 3150, 0);
    shortTake.Seconds = 10;
    const int wav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    WriteTake(folder, "silence.wav", silent, wav);
    WriteTake(folder, "noise.wav", noise, wav);
    WriteTake(folder, "short.wav", shortTake, wav);
    WriteTake(folder, "four.wav", Take(44100, 1, 4000, 0), wav);
    std::system(
        ("printf 'RIFF and nothing else' > " + Quoted(folder + "/text.wav") + "; : > " + Quoted(folder + "/empty.wav"))
            .c_str());
    const std::vector<BadCase> cases = {
        {"not a sound file", folder + "/text.wav", 2, "is no sound file libsndfile can read"},
        {"empty", folder + "/empty.wav", 2, "is empty"},
        {"a folder", folder, 2, "is a folder, not a recording"},
        {"silence", folder + "/silence.wav", 2, "the recording is silent"},
        {"noise", folder + "/noise.wav", 2, "no steady tone from 300 Hz to 10 kHz found"},
        {"too short", folder + "/short.wav", 2, "a take of at least 17 s of steady tone"},
        {"no standard tone", folder + "/four.wav", 2, "give --tone"},
        {"a tone out of range",
         folder + "/four.wav",
         2,
         "--tone must be a frequency from 300 to 10000 Hz, not '12k'",
         {"--tone", "12k"}},
        {"missing", folder + "/missing.wav", 1, "cannot read"},
    };
    for (const BadCase& c : cases) {
        std::vector<std::string> args = {"speed", c.Path};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << c.Name << ": " << result.Err;
        EXPECT_THAT(result.Err, testing::HasSubstr(c.Says)) << c.Name;
        EXPECT_EQ(result.Out, "") << c.Name;
        EXPECT_EQ(Lines(result.Err).size(), 1u) << c.Name << ": " << result.Err;
    }
}

TEST(SpeedCommand, AClippedRecordingIsWarnedAboutAndStrictStops) {
    const std::string folder = FreshTestFolder("speed-clipped");
    ToneTake loud = Take(44100, 1, 3150, 0.2);
    loud.Level = 1.3;
    const std::string path = WriteTake(folder, "loud.wav", loud, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ToolResult warned = RunTool({"speed", path});
    EXPECT_EQ(warned.ExitCode, 0);
    EXPECT_THAT(warned.Err, testing::HasSubstr("warning: the recording clips"));
    EXPECT_THAT(warned.Out, testing::HasSubstr("speed error      +0.2"));
    const ToolResult strict = RunTool({"speed", path, "--strict"});
    EXPECT_EQ(strict.ExitCode, 2);
    EXPECT_EQ(strict.Out, "");
}

TEST(SpeedCommand, TheChartCarriesTheFiguresComponentsAndAdvice) {
    const std::string folder = FreshTestFolder("speed-chart");
    const std::string path =
        WriteTake(folder, "take.wav", Take(48000, 2, 3150, -0.5), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ToolResult result = RunTool({"speed", path, "-o", folder + "/chart.pdf"});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    const std::string text = folder + "/chart.txt";
    ASSERT_EQ(std::system(("pdftotext " + Quoted(folder + "/chart.pdf") + " " + Quoted(text)).c_str()), 0);
    const std::string page = ReadWholeFile(text);
    for (const char* expected : {"Platter speed and wow and flutter", "-0.500 %", "once per revolution",
                                 "raise the speed a little", "off-centre", "Spectrum of the deviation"}) {
        EXPECT_THAT(page, testing::HasSubstr(expected));
    }
}

// The speed command's options belong to it alone, and it takes no page options.
TEST(SpeedCommand, TakesItsOwnOptionsOnly) {
    const ToolResult help = RunTool({"speed", "--help"});
    for (const char* option : {"--tone HZ", "--rpm RPM", "--format text|json|csv", "--strict", "-o, --output FILE"}) {
        EXPECT_THAT(help.Out, testing::HasSubstr(option));
    }
    EXPECT_THAT(help.Out, testing::Not(testing::HasSubstr("--dpi")));
    EXPECT_THAT(RunTool({"analyse", "--tone", "3150"}).Err, testing::HasSubstr("unknown option '--tone'"));
    EXPECT_THAT(RunTool({"speed", "x.wav", "--dpi", "300"}).Err, testing::HasSubstr("unknown option '--dpi'"));
}

} // namespace
