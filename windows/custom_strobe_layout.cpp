#include "windows/custom_strobe_layout.h"

#include <cmath>

#include "windows/window_styles.h"
#include "windows/control_ids.h"
#include "geometry/numeric_text.h"
#include "geometry/windows_1252.h"

// clang-format off
const std::array<ControlRow, CustomStrobeControlCount> CustomStrobeControls = {{
    {ControlId::OuterBarsLabel,     ControlKind::Label,      false, "Number of outer bars",          15,  20,  70, 15},
    {ControlId::InnerBarsLabel,     ControlKind::Label,      false, "Number of inner bars",          15,  50,  70, 15},
    {ControlId::Caption1Label,      ControlKind::Label,      false, "Caption line 1",                15,  80,  70, 15},
    {ControlId::Caption2Label,      ControlKind::Label,      false, "Caption line 2",                15, 110,  70, 15},
    {ControlId::OuterBarsField,     ControlKind::TextBox,    false, "216",                           90,  20,  35, 10},
    {ControlId::InnerBarsField,     ControlKind::TextBox,    false, "160",                           90,  50,  35, 10},
    {ControlId::Caption1Field,      ControlKind::TextBox,    false, "33 1/3 RPM - 60 HZ - 216 BARS", 90,  80, 105, 10},
    {ControlId::Caption2Field,      ControlKind::TextBox,    false, "45 RPM - 60 HZ - 160 BARS",     90, 110, 105, 10},
    {ControlId::CustomOkButton,     ControlKind::PushButton, false, "OK",                            25, 140,  65, 15},
    {ControlId::CustomCancelButton, ControlKind::PushButton, false, "Cancel",                       120, 140,  65, 15},
}};
// clang-format on

DialogHeader CustomStrobeHeader() {
    using namespace WindowStyle;
    return DialogHeader{Popup | Caption | DialogModalFrame | DialogSetFont | DialogNoFailCreate | Dialog3dLook,
                        0,
                        102,
                        88,
                        211,
                        180,
                        Windows1252ToUtf16(CustomStrobeCaption),
                        DialogFontPoints,
                        Windows1252ToUtf16(DialogFontFace)};
}

std::vector<std::uint8_t> CustomStrobeTemplate() {
    std::vector<DialogItem> items;
    items.reserve(CustomStrobeControls.size());
    for (const ControlRow& row : CustomStrobeControls) {
        items.push_back(MakeDialogItem(row));
    }
    return WriteDialogTemplate(CustomStrobeHeader(), items);
}

int BarCountBeyondLimit(const FieldReader& dialog) {
    for (int field : {ControlId::OuterBarsField, ControlId::InnerBarsField}) {
        // Judged before the 32-bit rounding, which would turn a huge count into a negative one.
        if (std::nearbyint(TextToNumber(dialog.FieldText(field))) > MaximumBarCount) {
            return field;
        }
    }
    return 0;
}

bool BarCountsWithinLimit(const FieldReader& dialog) {
    return BarCountBeyondLimit(dialog) == 0;
}
