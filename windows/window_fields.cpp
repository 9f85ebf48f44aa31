#include "windows/window_fields.h"

#include "windows/custom_strobe_layout.h"
#include "windows/main_window_layout.h"
#include "windows/control_ids.h"
#include "geometry/numeric_text.h"

const NamedControl NamedNumberFields[5] = {
    {"spindle-to-pivot", ControlId::SpindleToPivotField}, {"inner-radius", ControlId::InnerGrooveField},
    {"outer-radius", ControlId::OuterGrooveField},        {"correction-x", ControlId::CorrectionXField},
    {"correction-y", ControlId::CorrectionYField},
};

const NamedControl NamedGeometries[3] = {
    {"lofgren-a", ControlId::LofgrenAButton},
    {"lofgren-b", ControlId::LofgrenBButton},
    {"stevenson-a", ControlId::StevensonAButton},
};

const NamedControl NamedCustomStrobeFields[4] = {
    {"outer-bars", ControlId::OuterBarsField},
    {"inner-bars", ControlId::InnerBarsField},
    {"caption1", ControlId::Caption1Field},
    {"caption2", ControlId::Caption2Field},
};

WindowFieldTable::WindowFieldTable() {
    for (const ControlRow& row : MainWindowControls) {
        if (row.Kind == ControlKind::TextBox) {
            Texts[row.Id] = std::string(row.Text);
        } else if (row.Kind == ControlKind::OptionButton) {
            Checks[row.Id] = 0;
        }
    }
    // The window checks "Löfgren A" as it opens.
    Checks[ControlId::LofgrenAButton] = 1;
}

void WindowFieldTable::SetText(int controlId, std::string text) {
    Texts[controlId] = std::move(text);
}

void WindowFieldTable::CheckOnly(int controlId) {
    for (auto& [control, state] : Checks) {
        state = control == controlId ? 1 : 0;
    }
}

FieldTextTable InitialCustomStrobeFields() {
    FieldTextTable table;
    for (const ControlRow& row : CustomStrobeControls) {
        if (row.Kind == ControlKind::TextBox) {
            table.Texts[row.Id] = std::string(row.Text);
        }
    }
    return table;
}
