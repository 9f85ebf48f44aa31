#include "speed/recording_header.h"

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t Little32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t Big32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[3]) | static_cast<std::uint32_t>(p[2]) << 8 |
           static_cast<std::uint32_t>(p[1]) << 16 | static_cast<std::uint32_t>(p[0]) << 24;
}

bool Tag(std::span<const unsigned char> head, std::size_t at, const char* tag) {
    return head.size() >= at + 4 && std::memcmp(head.data() + at, tag, 4) == 0;
}

std::optional<double> Plausible(std::uint32_t rate) {
    if (rate == 0 || rate > 1000000) {
        return std::nullopt;
    }
    return static_cast<double>(rate);
}

} // namespace

std::optional<double> RecordingSampleRate(std::span<const unsigned char> head) {
    if (Tag(head, 0, "fLaC")) {
        // The first metadata block is STREAMINFO: after its 4-byte header, 10 bytes of block and frame sizes, then
        // the rate in 20 bits.
        if (head.size() < 4 + 4 + 13 || (head[4] & 0x7F) != 0) {
            return std::nullopt;
        }
        const unsigned char* p = head.data() + 18;
        return Plausible(static_cast<std::uint32_t>(p[0]) << 12 | static_cast<std::uint32_t>(p[1]) << 4 |
                         static_cast<std::uint32_t>(p[2]) >> 4);
    }
    const bool big = Tag(head, 0, "RIFX");
    if (!(Tag(head, 0, "RIFF") || Tag(head, 0, "RF64") || big) || !Tag(head, 8, "WAVE")) {
        return std::nullopt;
    }
    // Chunks after the 12-byte header, each padded to an even length, until the format chunk.
    std::size_t at = 12;
    while (at + 8 <= head.size()) {
        const std::uint32_t size = big ? Big32(head.data() + at + 4) : Little32(head.data() + at + 4);
        if (Tag(head, at, "fmt ")) {
            if (size < 16 || at + 8 + 8 > head.size()) {
                return std::nullopt;
            }
            const unsigned char* rate = head.data() + at + 8 + 4;
            return Plausible(big ? Big32(rate) : Little32(rate));
        }
        const std::size_t next = at + 8 + static_cast<std::size_t>(size) + (size & 1);
        if (next <= at) {
            return std::nullopt;
        }
        at = next;
    }
    return std::nullopt;
}

std::optional<WavLayout> WavLayoutOf(std::span<const unsigned char> head) {
    if (!Tag(head, 0, "RIFF") || !Tag(head, 8, "WAVE")) {
        return std::nullopt;
    }
    WavLayout layout;
    bool format = false;
    std::size_t at = 12;
    while (at + 8 <= head.size()) {
        const std::uint32_t size = Little32(head.data() + at + 4);
        const unsigned char* body = head.data() + at + 8;
        if (Tag(head, at, "fmt ")) {
            if (size < 16 || at + 8 + 16 > head.size()) {
                return std::nullopt;
            }
            unsigned tag = static_cast<unsigned>(body[0] | body[1] << 8);
            // WAVE_FORMAT_EXTENSIBLE: the format is the first two bytes of the subformat's GUID.
            if (tag == 0xFFFE) {
                if (size < 40 || at + 8 + 26 > head.size()) {
                    return std::nullopt;
                }
                tag = static_cast<unsigned>(body[24] | body[25] << 8);
            }
            layout.Channels = body[2] | body[3] << 8;
            layout.Rate = Little32(body + 4);
            layout.Bits = body[14] | body[15] << 8;
            layout.Float = tag == 3;
            const bool integer =
                tag == 1 && (layout.Bits == 8 || layout.Bits == 16 || layout.Bits == 24 || layout.Bits == 32);
            const bool floating = tag == 3 && (layout.Bits == 32 || layout.Bits == 64);
            if (!(integer || floating) || layout.Channels < 1 || layout.Rate <= 0) {
                return std::nullopt;
            }
            format = true;
        } else if (Tag(head, at, "data")) {
            if (!format) {
                return std::nullopt;
            }
            layout.DataOffset = at + 8;
            layout.DataBytes = size;
            return layout;
        }
        const std::size_t next = at + 8 + static_cast<std::size_t>(size) + (size & 1);
        if (next <= at) {
            return std::nullopt;
        }
        at = next;
    }
    return std::nullopt;
}

void WavSamples(std::span<const unsigned char> bytes, const WavLayout& layout, std::vector<float>& samples) {
    const std::size_t width = static_cast<std::size_t>(layout.Bits / 8);
    const std::size_t frames = layout.FrameBytes() == 0 ? 0 : bytes.size() / layout.FrameBytes();
    const std::size_t count = frames * static_cast<std::size_t>(layout.Channels);
    samples.resize(count);
    const unsigned char* p = bytes.data();
    for (std::size_t i = 0; i < count; ++i, p += width) {
        float x = 0;
        if (layout.Float) {
            if (width == 4) {
                float value;
                const std::uint32_t word = Little32(p);
                std::memcpy(&value, &word, 4);
                x = value;
            } else {
                double value;
                const std::uint64_t word = Little32(p) | static_cast<std::uint64_t>(Little32(p + 4)) << 32;
                std::memcpy(&value, &word, 8);
                x = static_cast<float>(value);
            }
        } else if (width == 1) {
            x = static_cast<float>(static_cast<int>(p[0]) - 128) * (1.0f / 0x80);
        } else if (width == 2) {
            x = static_cast<float>(static_cast<std::int16_t>(p[0] | p[1] << 8)) * (1.0f / 0x8000);
        } else if (width == 3) {
            // Sign-extended from the top byte.
            const std::int32_t value = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 8 |
                                                                 static_cast<std::uint32_t>(p[1]) << 16 |
                                                                 static_cast<std::uint32_t>(p[2]) << 24) >>
                                       8;
            x = static_cast<float>(value) * (1.0f / 0x800000);
        } else {
            x = static_cast<float>(static_cast<std::int32_t>(Little32(p))) * (1.0f / 2147483648.0f);
        }
        samples[i] = x;
    }
}
