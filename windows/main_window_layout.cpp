#include "windows/main_window_layout.h"

#include "windows/window_styles.h"
#include "windows/control_ids.h"
#include "geometry/windows_1252.h"

// clang-format off
const std::array<ControlRow, MainWindowControlCount> MainWindowControls = {{
    {ControlId::SpindleToPivotLabel,     ControlKind::Label,        false, "Spindle to Pivot Distance",   20,  20, 80, 15},
    {ControlId::InnerGrooveLabel,        ControlKind::Label,        false, "Inner Groove Radius",         20,  40, 80, 15},
    {ControlId::OuterGrooveLabel,        ControlKind::Label,        false, "Outer Groove Radius",         20,  60, 80, 15},
    {ControlId::SpindleToPivotField,     ControlKind::TextBox,      true,  "209",                        115,  20, 35, 10},
    {ControlId::SpindleToPivotUnit,      ControlKind::Label,        false, "mm",                         155,  20, 15, 15},
    {ControlId::InnerGrooveField,        ControlKind::TextBox,      false, "57.5",                       115,  40, 35, 10},
    {ControlId::OuterGrooveField,        ControlKind::TextBox,      false, "146.05",                     115,  60, 35, 10},
    {ControlId::InnerGrooveUnit,         ControlKind::Label,        false, "mm",                         155,  40, 15, 15},
    {ControlId::OuterGrooveUnit,         ControlKind::Label,        false, "mm",                         155,  60, 15, 15},
    {ControlId::LofgrenAButton,          ControlKind::OptionButton, true,  "L\xF6" "fgren A",             20, 145, 55, 15},
    {ControlId::LofgrenBButton,          ControlKind::OptionButton, false, "L\xF6" "fgren B",             20, 160, 55, 15},
    {ControlId::StevensonAButton,        ControlKind::OptionButton, false, "Stevenson A",                 20, 175, 55, 15},
    {ControlId::PrintArcTemplateButton,  ControlKind::PushButton,   false, "Print Arc Template",          80, 145, 65, 15},
    {ControlId::Print60HzStrobeButton,   ControlKind::PushButton,   false, "Print 60Hz Strobe",          150, 145, 65, 15},
    {ControlId::Print50HzStrobeButton,   ControlKind::PushButton,   false, "Print 50Hz Strobe",          150, 170, 65, 15},
    {ControlId::HelpButton,              ControlKind::PushButton,   false, "Help",                       185,  80, 30, 15},
    {ControlId::CorrectionXLabel,        ControlKind::Label,        false, "Printer Correction Factor X", 20,  80, 90, 15},
    {ControlId::CorrectionXField,        ControlKind::TextBox,      false, "1.0",                        115,  80, 35, 10},
    {ControlId::DinButton,               ControlKind::PushButton,   false, "DIN",                        185,  20, 30, 15},
    {ControlId::IecButton,               ControlKind::PushButton,   false, "IEC",                        185,  40, 30, 15},
    {ControlId::TypicalButton,           ControlKind::PushButton,   false, "Typical",                    185,  60, 30, 15},
    {ControlId::CorrectionYLabel,        ControlKind::Label,        false, "Printer Correction Factor Y", 20, 100, 90, 15},
    {ControlId::CorrectionYField,        ControlKind::TextBox,      false, "1.0",                        115, 100, 35, 10},
    {ControlId::PrintCustomStrobeButton, ControlKind::PushButton,   false, "Print Custom Strobe",         80, 170, 65, 15},
    {ControlId::ArmIdLabel,              ControlKind::Label,        false, "Arm or turntable ID",         20, 120, 90, 15},
    {ControlId::ArmIdField,              ControlKind::TextBox,      false, "",                           115, 120, 100, 10},
}};
// clang-format on

std::u16string ControlClassName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return u"STATIC";
    case ControlKind::TextBox:
        return u"EDIT";
    case ControlKind::OptionButton:
    case ControlKind::PushButton:
        return u"BUTTON";
    }
    return u"STATIC";
}

std::uint32_t ControlStyle(ControlKind kind, bool startsGroup) {
    using namespace WindowStyle;
    std::uint32_t style = Child | Visible;
    switch (kind) {
    case ControlKind::Label:
        style |= StaticLeft;
        break;
    case ControlKind::TextBox:
        style |= EditLeft | EditAutoHScroll | TabStop;
        break;
    case ControlKind::OptionButton:
        style |= ButtonAutoRadio | TabStop;
        // The first button of the group carries the alignment bits as well as the group mark.
        if (startsGroup) {
            style |= ButtonLeft | ButtonVCenter;
        }
        break;
    case ControlKind::PushButton:
        style |= ButtonPush | TabStop;
        break;
    }
    if (startsGroup) {
        style |= Group;
    }
    return style;
}

std::uint32_t ControlExtendedStyle(ControlKind kind) {
    return kind == ControlKind::TextBox ? WindowStyle::ExClientEdge : 0;
}

DialogItem MakeDialogItem(const ControlRow& row) {
    return DialogItem{ControlStyle(row.Kind, row.StartsGroup),
                      ControlExtendedStyle(row.Kind),
                      row.X,
                      row.Y,
                      row.Width,
                      row.Height,
                      static_cast<std::uint16_t>(row.Id),
                      ControlClassName(row.Kind),
                      Windows1252ToUtf16(row.Text)};
}

DialogHeader MainWindowHeader() {
    using namespace WindowStyle;
    return DialogHeader{Popup | Visible | ClipSiblings | Caption | SysMenu | DialogModalFrame | DialogSetFont |
                            DialogNoFailCreate | Dialog3dLook,
                        ExControlParent,
                        134,
                        120,
                        237,
                        202,
                        Windows1252ToUtf16(MainWindowCaption),
                        DialogFontPoints,
                        Windows1252ToUtf16(DialogFontFace)};
}

std::vector<std::uint8_t> MainWindowTemplate() {
    std::vector<DialogItem> items;
    items.reserve(MainWindowControls.size());
    for (const ControlRow& row : MainWindowControls) {
        items.push_back(MakeDialogItem(row));
    }
    return WriteDialogTemplate(MainWindowHeader(), items);
}
