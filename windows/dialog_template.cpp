#include "windows/dialog_template.h"

#include <limits>
#include <stdexcept>

void AppendWord(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendDword(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    AppendWord(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
    AppendWord(bytes, static_cast<std::uint16_t>(value >> 16));
}

void AppendText(std::vector<std::uint8_t>& bytes, const std::u16string& text) {
    for (char16_t unit : text) {
        AppendWord(bytes, static_cast<std::uint16_t>(unit));
    }
    AppendWord(bytes, 0);
}

void AlignToDword(std::vector<std::uint8_t>& bytes) {
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
}

namespace {

void AppendShort(std::vector<std::uint8_t>& bytes, std::int16_t value) {
    AppendWord(bytes, static_cast<std::uint16_t>(value));
}

void AppendRectangle(std::vector<std::uint8_t>& bytes, std::int16_t x, std::int16_t y, std::int16_t width,
                     std::int16_t height) {
    AppendShort(bytes, x);
    AppendShort(bytes, y);
    AppendShort(bytes, width);
    AppendShort(bytes, height);
}

// A text field whose first character is 0xFFFF would be read as an ordinal, and an embedded zero would
// cut it short; neither can be meant, so both are refused rather than written as a broken template.
void CheckText(const std::u16string& text) {
    if (!text.empty() && text.front() == u'\xFFFF') {
        throw std::invalid_argument("dialog template text starts with 0xFFFF");
    }
    if (text.find(u'\0') != std::u16string::npos) {
        throw std::invalid_argument("dialog template text holds a zero character");
    }
}

} // namespace

std::vector<std::uint8_t> WriteDialogTemplate(const DialogHeader& header, const std::vector<DialogItem>& items) {
    if (items.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw std::invalid_argument("too many dialog items");
    }
    std::vector<std::uint8_t> bytes;
    AppendDword(bytes, header.Style);
    AppendDword(bytes, header.ExtendedStyle);
    AppendWord(bytes, static_cast<std::uint16_t>(items.size()));
    AppendRectangle(bytes, header.X, header.Y, header.Width, header.Height);
    AppendWord(bytes, 0); // no menu
    AppendWord(bytes, 0); // the platform's dialog class
    CheckText(header.Caption);
    AppendText(bytes, header.Caption);
    if (header.Style & DialogTemplateSetFont) {
        CheckText(header.FontFace);
        AppendWord(bytes, header.FontPoints);
        AppendText(bytes, header.FontFace);
    }
    for (const DialogItem& item : items) {
        AlignToDword(bytes);
        AppendDword(bytes, item.Style);
        AppendDword(bytes, item.ExtendedStyle);
        AppendRectangle(bytes, item.X, item.Y, item.Width, item.Height);
        AppendWord(bytes, item.Id);
        CheckText(item.ClassName);
        if (item.ClassName.empty()) {
            throw std::invalid_argument("dialog item without a class");
        }
        AppendText(bytes, item.ClassName);
        CheckText(item.Text);
        AppendText(bytes, item.Text);
        AppendWord(bytes, 0); // no creation data
    }
    return bytes;
}
