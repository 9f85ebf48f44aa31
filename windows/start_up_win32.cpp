#include "windows/main_window_win32.h"

#include <commctrl.h>
#include <windows.h>

namespace {

using InitCommonControlsExProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using InitCommonControlsProc = void(WINAPI*)();

// Both entry points are looked up by name so that a system without the newer one still starts.
void InitialiseCommonControls() {
    const HMODULE library = LoadLibraryA("COMCTL32.DLL");
    if (library == nullptr) {
        return;
    }
    // Going through the generic function pointer type is the sanctioned way to change a function's type.
    const auto initialiseEx = reinterpret_cast<InitCommonControlsExProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initialiseEx != nullptr) {
        static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);
        const INITCOMMONCONTROLSEX controls{8, 0x9FF};
        initialiseEx(&controls);
    } else {
        const auto initialise = reinterpret_cast<InitCommonControlsProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControls")));
        if (initialise != nullptr) {
            initialise();
        }
    }
    FreeLibrary(library);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    InitialiseCommonControls();
    ShowMainWindow(nullptr);
    return 0;
}
