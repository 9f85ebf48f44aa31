#include "print_dialog_win32.h"

#include <cwchar>

namespace {

// The printer list of the print dialog.
constexpr int PrinterComboId = 0x473;
constexpr DWORD PollMilliseconds = 100;
// The dialog fills its printer list after it becomes visible.
constexpr DWORD SettleMilliseconds = 200;

struct DialogSearch {
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK FindPrintDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (processId == search->ProcessId && std::wcscmp(className, L"#32770") == 0 && IsWindowVisible(window) &&
        GetDlgItem(window, PrinterComboId) != nullptr) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForPrintDialog(DWORD processId, DWORD timeoutMilliseconds) {
    for (DWORD waited = 0; waited < timeoutMilliseconds; waited += PollMilliseconds) {
        DialogSearch search{processId, nullptr};
        EnumWindows(FindPrintDialog, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr) {
            return search.Found;
        }
        Sleep(PollMilliseconds);
    }
    return nullptr;
}

PrintDialogAnswer AnswerPrintDialog(DWORD processId, const std::wstring& queue, bool pressOk,
                                    DWORD timeoutMilliseconds) {
    PrintDialogAnswer answer;
    HWND dialog = WaitForPrintDialog(processId, timeoutMilliseconds);
    if (dialog == nullptr) {
        return answer;
    }
    answer.DialogSeen = true;
    Sleep(SettleMilliseconds);
    answer.WasForeground = GetForegroundWindow() == dialog;
    HWND combo = GetDlgItem(dialog, PrinterComboId);
    const LRESULT index =
        SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(queue.c_str()));
    if (index != CB_ERR) {
        // Selecting by message does not notify the dialog; it must hear of the change to switch printers.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(PrinterComboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        answer.QueueSelected = true;
    }
    const int button = pressOk && answer.QueueSelected ? IDOK : IDCANCEL;
    // Posted, not sent: the dialog closes and the print job starts while we return.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    answer.OkPressed = button == IDOK;
    return answer;
}
