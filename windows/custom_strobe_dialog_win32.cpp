#include "windows/custom_strobe_dialog_win32.h"

#include "print/printouts.h"
#include "windows/control_ids.h"
#include "windows/custom_strobe_fields.h"
#include "windows/custom_strobe_layout.h"
#include "windows/gdi_printer_win32.h"
#include "windows/program_records.h"
#include "windows/record_adaptor.h"
#include "windows/saved_focus_win32.h"
#include "windows/system_text_win32.h"
#include "windows/window_field_reader_win32.h"

HWND CustomDialogSavedFocus = nullptr;

namespace {

// The refusal is owned by the dialog, which stays open with what was typed; then the offending count has the
// focus with its text selected, so the correction can be typed at once.
void RefuseBarCounts(HWND dialog, int field) {
    MessageBoxW(dialog, SystemTextToWide(BarCountRefusal).c_str(), SystemTextToWide(CustomStrobeCaption).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    CustomDialogSavedFocus = nullptr;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
}

void AcceptCustomStrobe(HWND dialog) {
    const WindowFieldReader fields(dialog);
    if (const int field = BarCountBeyondLimit(fields); field != 0) {
        RefuseBarCounts(dialog, field);
        return;
    }
    ReadCustomStrobeFields(fields);
    // The printer choice belongs to this dialog while it is open: owned by the main window, which this dialog
    // has disabled, it would enable the main window again when it closes.
    GdiPrinterChooser dialogChooser(dialog);
    PrintSurface surface(dialogChooser, PrintColours);
    PrintStrobeDisk(surface, Parameters, CustomOuterBars, CustomInnerBars, CustomCaption1, CustomCaption2);
    EndDialog(dialog, 0);
}

// Clicks and keyboard accelerators of the two buttons; Enter and Esc arrive as the platform's OK and Cancel.
void RunCustomStrobeCommand(HWND dialog, int controlId, int notification) {
    if (notification != 0 && notification != 1) {
        return;
    }
    switch (controlId) {
    case ControlId::CustomOkButton:
    case IDOK:
        AcceptCustomStrobe(dialog);
        break;
    case ControlId::CustomCancelButton:
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK CustomStrobeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_NCACTIVATE:
        KeepFocusAcrossActivation(CustomDialogSavedFocus, wParam != 0);
        break;
    case WM_COMMAND:
        RunCustomStrobeCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        break;
    }
    return 0;
}

INT_PTR ShowCustomStrobeDialog(HWND owner) {
    const std::vector<std::uint8_t> dialogTemplate = CustomStrobeTemplate();
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                   owner, CustomStrobeDialogProc, 0);
}
