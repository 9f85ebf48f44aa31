#include "windows/window_field_reader_win32.h"

#include "windows/system_text_win32.h"

std::string WindowFieldReader::FieldText(int controlId) const {
    return WindowSystemText(GetDlgItem(Window, controlId));
}

long long WindowFieldReader::CheckState(int controlId) const {
    return static_cast<long long>(SendMessageA(GetDlgItem(Window, controlId), BM_GETCHECK, 0, 0));
}
