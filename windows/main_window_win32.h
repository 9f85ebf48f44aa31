#pragma once

#include <windows.h>

// The control of the main window that had the keyboard focus when the window was last deactivated.
extern HWND SavedFocus;

// Builds the main window, runs it modally and returns its end result (0 when closed through its frame).
INT_PTR ShowMainWindow(HWND owner);
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
