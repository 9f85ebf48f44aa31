#pragma once

#include <string>

// What the alignment and the custom strobe fields need of a window: a control's text as the program's
// 8-bit text (Windows-1252 bytes) and an option button's check state. The window, the Linux tool's
// option table and the tests each provide one.
class FieldReader {
public:
    virtual ~FieldReader() = default;
    virtual std::string FieldText(int controlId) const = 0;
    // The platform's answer to "is it checked" (BM_GETCHECK): 1 checked, 0 unchecked, 2 indeterminate.
    virtual long long CheckState(int controlId) const = 0;
};
