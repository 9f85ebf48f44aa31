#include "windows/saved_focus_win32.h"

void KeepFocusAcrossActivation(HWND& savedFocus, bool activating) {
    if (!activating) {
        savedFocus = GetFocus();
    } else if (savedFocus != nullptr) {
        SetFocus(savedFocus);
        savedFocus = nullptr;
    }
}
