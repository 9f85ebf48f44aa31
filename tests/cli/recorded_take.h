#pragma once

// Test-tone takes written to sound files as the tool's user would have recorded them.
#include "tests/unit/speed_signal.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

namespace speed_test {

// Writes the take as the tool's user would have recorded it, through libsndfile, in blocks.
inline std::string WriteTake(const std::string& folder, const std::string& name, const ToneTake& take, int format) {
    const std::string path = folder + "/" + name;
    SF_INFO info{};
    info.samplerate = static_cast<int>(take.Rate);
    info.channels = take.Channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (file == nullptr) {
        return path;
    }
    // Beyond full scale is clipped as a sound card would, not wrapped round.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    ToneSynth synth(take);
    while (!synth.Done()) {
        const std::vector<float> block = synth.Next(8192);
        sf_writef_float(file, block.data(), static_cast<sf_count_t>(block.size()) / take.Channels);
    }
    sf_close(file);
    return path;
}

inline ToneTake Take(double rate, int channels, double tone, double error) {
    ToneTake take;
    take.Rate = rate;
    take.Channels = channels;
    take.ToneHz = tone;
    take.ErrorPercent = error;
    take.Modulations = {{100.0 / 3 / 60, 0.06}, {6.3, 0.02, 1}};
    take.LeadInSeconds = 1.5;
    take.Seconds = 21;
    take.TailSeconds = 1;
    take.NoiseRms = 0.001;
    return take;
}

} // namespace speed_test
