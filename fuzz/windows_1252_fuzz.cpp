// Any bytes through the text conversions at the platform boundary: program text survives the way out and back
// unchanged (UTF-8 and UTF-16 alike), what goes out is well-formed UTF-8, and any text coming in gives program text
// no longer than itself.
#include "geometry/windows_1252.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* rule, std::string_view text) {
    std::fprintf(stderr, "%s\ninput (%zu bytes):", rule, text.size());
    for (const char c : text.substr(0, 64)) {
        std::fprintf(stderr, " %02X", static_cast<unsigned char>(c));
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

// Well-formed UTF-8 as far as the converter writes it: one to three bytes per character, no surrogates.
bool IsWellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 0;
        if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2)) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        if (length == 3 && lead == 0xE0 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            return false; // overlong
        }
        if (length == 3 && lead == 0xED && static_cast<unsigned char>(text[i + 1]) >= 0xA0) {
            return false; // surrogate
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = Windows1252ToUtf8(bytes);
    if (!IsWellFormedUtf8(utf8)) {
        Fail("program text became malformed UTF-8", bytes);
    }
    if (Utf8ToWindows1252(utf8) != bytes) {
        Fail("program text did not survive the way to UTF-8 and back", bytes);
    }
    if (Utf16ToWindows1252(Windows1252ToUtf16(bytes)) != bytes) {
        Fail("program text did not survive the way to UTF-16 and back", bytes);
    }

    // The same bytes as text from outside: as UTF-8, and as UTF-16 units.
    if (Utf8ToWindows1252(bytes).size() > bytes.size()) {
        Fail("UTF-8 text became longer program text", bytes);
    }
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    if (Utf16ToWindows1252(units).size() > units.size()) {
        Fail("UTF-16 text became longer program text", bytes);
    }
    return 0;
}
