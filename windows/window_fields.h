#pragma once

#include "geometry/numeric_text.h"
#include "windows/field_table.h"

#include <optional>
#include <string>
#include <string_view>

// The main window's fields by the names the Linux tool's options and the browser page's query give them.
struct NamedControl {
    std::string_view Name;
    int Control;
};

extern const NamedControl NamedNumberFields[5];
extern const NamedControl NamedGeometries[3];
extern const NamedControl NamedCustomStrobeFields[4];

// The main window's fields as a table that starts with the window's initial texts and "Löfgren A" checked.
class WindowFieldTable : public FieldTextTable {
public:
    WindowFieldTable();
    void SetText(int controlId, std::string text);
    // Checks one option button and unchecks the others, as clicking it does.
    void CheckOnly(int controlId);
};

// The custom strobe dialog's fields with their initial texts.
FieldTextTable InitialCustomStrobeFields();

// The control a name stands for among `controls`, or 0.
template <std::size_t N> int ControlNamed(const NamedControl (&controls)[N], std::string_view name) {
    for (const NamedControl& control : controls) {
        if (control.Name == name) {
            return control.Control;
        }
    }
    return 0;
}
