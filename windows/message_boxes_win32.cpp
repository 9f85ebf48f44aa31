#include "windows/message_boxes_win32.h"

#include "settings/help_text.h"
#include "windows/program_records.h"
#include "windows/record_adaptor.h"
#include "windows/system_text_win32.h"

#include <windows.h>

namespace {

// No owner: task-modal boxes disable every window of the program while they are shown. An ownerless box hands
// the activation to no one when it closes, so the window it came from is brought back to the foreground, and
// with it the keyboard focus it saved.
int ShowProgramMessageBox(std::string_view text, std::string_view title, UINT flags) {
    const std::wstring wideText = SystemTextToWide(text);
    const std::wstring wideTitle = SystemTextToWide(title);
    const HWND active = GetActiveWindow();
    const int answer = MessageBoxW(nullptr, wideText.c_str(), wideTitle.c_str(), flags | MB_TASKMODAL);
    if (active != nullptr && IsWindow(active)) {
        SetForegroundWindow(active);
    }
    return answer;
}

} // namespace

int ConfirmParameters() {
    return ShowProgramMessageBox(ConfirmationText(Parameters), "Confirm Parameters", MB_OKCANCEL | MB_DEFBUTTON1);
}

void ShowHelpAbout() {
    ShowProgramMessageBox(HelpAboutText(), HelpAboutTitle, MB_OK | MB_SETFOREGROUND);
}
