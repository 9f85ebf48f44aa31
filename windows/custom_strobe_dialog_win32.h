#pragma once

#include <windows.h>

// The control of the custom strobe dialog that had the keyboard focus when it was last deactivated.
extern HWND CustomDialogSavedFocus;

// Asks for the custom disk's counts and captions, modally over `owner`, and prints on OK; returns 0.
INT_PTR ShowCustomStrobeDialog(HWND owner);
INT_PTR CALLBACK CustomStrobeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
