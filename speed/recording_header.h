#pragma once

// The sample rate a recording's own header gives, read from its first bytes, so that the browser can decode it at
// that rate rather than resample it: WAV (RIFF, RF64, RIFX) and FLAC. Nothing for another format or a header cut
// short; those are decoded at the browser's own rate, which the meter takes as well.

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// Enough of a file's start for the headers read here, whatever chunks come before the format.
inline constexpr std::size_t RecordingHeaderBytes = 4096;

// The rate to decode a recording at when its header gives none: that of almost every MP3 and M4A file, and of CDs.
inline constexpr double UsualCompressedRate = 44100;

std::optional<double> RecordingSampleRate(std::span<const unsigned char> head);

// Where a WAV file's samples lie and how they are stored, for reading them as the Linux tool's libsndfile does
// (integers scaled by their full scale, 0x8000 for 16 bits, so that a browser's own scaling does not move them):
// integer PCM of 8, 16, 24 or 32 bits and floats of 32 or 64, plain or extensible. Nothing for another file, or
// when the samples do not start within `head`.
struct WavLayout {
    double Rate = 0;
    int Channels = 0;
    int Bits = 0;
    bool Float = false;
    std::size_t DataOffset = 0;
    std::size_t DataBytes = 0; // as the header gives it; the file may end sooner

    std::size_t FrameBytes() const { return static_cast<std::size_t>(Channels) * static_cast<std::size_t>(Bits / 8); }
};

std::optional<WavLayout> WavLayoutOf(std::span<const unsigned char> head);

// The samples of whole frames in `bytes`, interleaved, scaled to -1..1 as libsndfile scales them; a partial frame
// at the end is left out.
void WavSamples(std::span<const unsigned char> bytes, const WavLayout& layout, std::vector<float>& samples);
