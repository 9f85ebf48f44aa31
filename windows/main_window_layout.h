#pragma once

#include "windows/dialog_template.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::string_view MainWindowCaption = "Quillmere 1.22BETA";
inline constexpr std::string_view DialogFontFace = "MS Sans Serif";
inline constexpr std::uint16_t DialogFontPoints = 8;

enum class ControlKind { Label, TextBox, OptionButton, PushButton };

// One row of the main window's control table; texts are the program's 8-bit text (Windows-1252).
struct ControlRow {
    int Id;
    ControlKind Kind;
    bool StartsGroup;
    std::string_view Text;
    std::int16_t X;
    std::int16_t Y;
    std::int16_t Width;
    std::int16_t Height;
};

inline constexpr std::size_t MainWindowControlCount = 26;

// In creation order, which is also the keyboard focus order.
extern const std::array<ControlRow, MainWindowControlCount> MainWindowControls;

// Class name, style and extended style of a control kind, every control being a visible child.
std::u16string ControlClassName(ControlKind kind);
std::uint32_t ControlStyle(ControlKind kind, bool startsGroup);
std::uint32_t ControlExtendedStyle(ControlKind kind);

DialogItem MakeDialogItem(const ControlRow& row);
DialogHeader MainWindowHeader();
std::vector<std::uint8_t> MainWindowTemplate();
