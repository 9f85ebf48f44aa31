#pragma once

// Reads an in-memory dialog template back into its parts, following the platform's layout independently
// of the writer, so that tests can compare what was meant with what was written.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct ReadDialogItem {
    std::size_t Offset;
    std::uint32_t Style;
    std::uint32_t ExtendedStyle;
    std::int16_t X, Y, Width, Height;
    std::uint16_t Id;
    std::u16string ClassName;
    std::u16string Text;
    std::uint16_t CreationDataSize;
};

struct ReadDialog {
    std::uint32_t Style;
    std::uint32_t ExtendedStyle;
    std::uint16_t ItemCount;
    std::int16_t X, Y, Width, Height;
    std::uint16_t Menu;
    std::uint16_t WindowClass;
    std::u16string Caption;
    bool HasFont;
    std::uint16_t FontPoints;
    std::u16string FontFace;
    std::vector<ReadDialogItem> Items;
    std::size_t End;
};

class TemplateCursor {
public:
    explicit TemplateCursor(const std::vector<std::uint8_t>& bytes) : Bytes(bytes) {}
    std::uint16_t Word() {
        if (Position + 2 > Bytes.size()) {
            throw std::out_of_range("template ends inside a word");
        }
        const std::uint16_t value = static_cast<std::uint16_t>(Bytes[Position] | (Bytes[Position + 1] << 8));
        Position += 2;
        return value;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
    std::u16string Text() {
        std::u16string text;
        for (std::uint16_t unit = Word(); unit != 0; unit = Word()) {
            text += static_cast<char16_t>(unit);
        }
        return text;
    }
    void SkipToDword() { Position = (Position + 3) / 4 * 4; }
    std::size_t Position = 0;

private:
    const std::vector<std::uint8_t>& Bytes;
};

inline ReadDialog ReadDialogTemplate(const std::vector<std::uint8_t>& bytes) {
    TemplateCursor cursor(bytes);
    ReadDialog dialog{};
    dialog.Style = cursor.Dword();
    dialog.ExtendedStyle = cursor.Dword();
    dialog.ItemCount = cursor.Word();
    dialog.X = cursor.Short();
    dialog.Y = cursor.Short();
    dialog.Width = cursor.Short();
    dialog.Height = cursor.Short();
    dialog.Menu = cursor.Word();
    dialog.WindowClass = cursor.Word();
    dialog.Caption = cursor.Text();
    dialog.HasFont = (dialog.Style & 0x40) != 0;
    if (dialog.HasFont) {
        dialog.FontPoints = cursor.Word();
        dialog.FontFace = cursor.Text();
    }
    for (std::uint16_t index = 0; index < dialog.ItemCount; ++index) {
        cursor.SkipToDword();
        ReadDialogItem item{};
        item.Offset = cursor.Position;
        item.Style = cursor.Dword();
        item.ExtendedStyle = cursor.Dword();
        item.X = cursor.Short();
        item.Y = cursor.Short();
        item.Width = cursor.Short();
        item.Height = cursor.Short();
        item.Id = cursor.Word();
        item.ClassName = cursor.Text();
        item.Text = cursor.Text();
        item.CreationDataSize = cursor.Word();
        dialog.Items.push_back(item);
    }
    dialog.End = cursor.Position;
    return dialog;
}
