#pragma once

#include <windows.h>

#include <string>

// Answers the system print dialog of a process the way a user would: the dialog is found among the
// top-level windows of that process (it may be the calling process, answered from a second thread),
// the queue is picked in the printer list, and OK or Cancel is pressed without waiting for the
// dialog to close.

struct PrintDialogAnswer {
    bool DialogSeen = false;
    bool QueueSelected = false;
    bool WasForeground = false; // the dialog was the foreground window when it was answered
    bool OkPressed = false;
};

// The visible print dialog of the process, or null once the time is up.
HWND WaitForPrintDialog(DWORD processId, DWORD timeoutMilliseconds);

// Picks `queue` and presses OK (Cancel when asked, or when the queue is not in the list).
PrintDialogAnswer AnswerPrintDialog(DWORD processId, const std::wstring& queue, bool pressOk,
                                    DWORD timeoutMilliseconds);
