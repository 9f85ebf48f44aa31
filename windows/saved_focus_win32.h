#pragma once

#include <windows.h>

// A window that loses activation remembers which of its controls had the keyboard focus, and gives it back
// when it is activated again.
void KeepFocusAcrossActivation(HWND& savedFocus, bool activating);
