#pragma once

#include "windows/field_reader.h"

#include <windows.h>

// Reads the fields of a dialog window: a control's text and an option button's check state, by `ControlId`.
class WindowFieldReader final : public FieldReader {
public:
    explicit WindowFieldReader(HWND window) : Window(window) {}
    std::string FieldText(int controlId) const override;
    long long CheckState(int controlId) const override;

private:
    HWND Window;
};
