#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An in-memory dialog template as the platform's DialogBoxIndirectParamW reads it: a header, the font,
// then one item per control, each item starting on a 4-byte boundary. Coordinates are dialog units.

struct DialogHeader {
    std::uint32_t Style;
    std::uint32_t ExtendedStyle;
    std::int16_t X;
    std::int16_t Y;
    std::int16_t Width;
    std::int16_t Height;
    std::u16string Caption;
    // Written only when the style asks for a font (DS_SETFONT).
    std::uint16_t FontPoints;
    std::u16string FontFace;
};

struct DialogItem {
    std::uint32_t Style;
    std::uint32_t ExtendedStyle;
    std::int16_t X;
    std::int16_t Y;
    std::int16_t Width;
    std::int16_t Height;
    std::uint16_t Id;
    std::u16string ClassName;
    std::u16string Text;
};

// The font block follows the caption only with this style bit.
inline constexpr std::uint32_t DialogTemplateSetFont = 0x40;

// The template's bytes, little-endian; the buffer must be handed to the platform from a 4-byte aligned
// address (a vector's own storage is).
std::vector<std::uint8_t> WriteDialogTemplate(const DialogHeader& header, const std::vector<DialogItem>& items);

// The pieces the writer is made of, usable on their own.
void AppendWord(std::vector<std::uint8_t>& bytes, std::uint16_t value);
void AppendDword(std::vector<std::uint8_t>& bytes, std::uint32_t value);
// The characters and a terminating zero character.
void AppendText(std::vector<std::uint8_t>& bytes, const std::u16string& text);
// Pads with zero bytes up to the next multiple of 4 of the offset from the template's start.
void AlignToDword(std::vector<std::uint8_t>& bytes);
