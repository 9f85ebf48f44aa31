#include "windows/main_window_win32.h"

#include "geometry/groove_presets.h"
#include "print/printouts.h"
#include "windows/control_ids.h"
#include "windows/custom_strobe_dialog_win32.h"
#include "windows/gdi_printer_win32.h"
#include "windows/main_window_layout.h"
#include "windows/message_boxes_win32.h"
#include "windows/program_records.h"
#include "windows/record_adaptor.h"
#include "windows/saved_focus_win32.h"
#include "windows/system_text_win32.h"
#include "windows/window_alignment.h"
#include "windows/window_field_reader_win32.h"
#include "windows/window_styles.h"

#include <optional>

static_assert(WindowStyle::Popup == WS_POPUP && WindowStyle::Child == WS_CHILD && WindowStyle::Visible == WS_VISIBLE);
static_assert(WindowStyle::ClipSiblings == WS_CLIPSIBLINGS && WindowStyle::Caption == WS_CAPTION);
static_assert(WindowStyle::SysMenu == WS_SYSMENU && WindowStyle::Group == WS_GROUP);
static_assert(WindowStyle::TabStop == WS_TABSTOP && WindowStyle::DialogModalFrame == DS_MODALFRAME);
static_assert(WindowStyle::DialogSetFont == DS_SETFONT && DialogTemplateSetFont == DS_SETFONT);
static_assert(WindowStyle::DialogNoFailCreate == DS_NOFAILCREATE && WindowStyle::Dialog3dLook == DS_3DLOOK);
static_assert(WindowStyle::StaticLeft == SS_LEFT && WindowStyle::EditLeft == ES_LEFT);
static_assert(WindowStyle::EditAutoHScroll == ES_AUTOHSCROLL && WindowStyle::ButtonPush == BS_PUSHBUTTON);
static_assert(WindowStyle::ButtonAutoRadio == BS_AUTORADIOBUTTON && WindowStyle::ButtonLeft == BS_LEFT);
static_assert(WindowStyle::ButtonVCenter == BS_VCENTER && WindowStyle::ExControlParent == WS_EX_CONTROLPARENT);
static_assert(WindowStyle::ExClientEdge == WS_EX_CLIENTEDGE);

HWND SavedFocus = nullptr;

namespace {

// The print dialog is owned by the main window, so that no second command can start while a printer is
// being chosen.
std::optional<GdiPrinterChooser> MainWindowPrinterChooser;

void InstallPrinterChooser(HWND window) {
    MainWindowPrinterChooser.emplace(window);
}

void SetMainWindowIcon(HWND window) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HANDLE largeIcon = LoadImageW(instance, L"APPICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR);
    const HANDLE smallIcon = LoadImageW(instance, L"APPICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

void InitialiseMainWindow(HWND window) {
    SetMainWindowIcon(window);
    SetWindowTextW(window, SystemTextToWide(MainWindowCaption).c_str());
    CheckRadioButton(window, ControlId::LofgrenAButton, ControlId::StevensonAButton, ControlId::LofgrenAButton);
    SetPrintColoursFromCommandLine(WideToSystemText(GetCommandLineW()));
    InstallPrinterChooser(window);
}

void SetGrooveRadiusTexts(HWND window, const GroovePreset& preset) {
    SetWindowTextW(GetDlgItem(window, ControlId::InnerGrooveField), SystemTextToWide(preset.Inner).c_str());
    SetWindowTextW(GetDlgItem(window, ControlId::OuterGrooveField), SystemTextToWide(preset.Outer).c_str());
}

void PrintArcTemplateCommand(HWND window) {
    ReadAndComputeAlignment(WindowFieldReader(window));
    if (ConfirmParameters() == IDOK) {
        PrintSurface surface(*MainWindowPrinterChooser, PrintColours);
        PrintArcTemplate(surface, Parameters);
    }
}

// The fixed disks print their own captions; these only fill the place.
void PrintFixedStrobeCommand(HWND window, std::int32_t outerBars, std::int32_t innerBars) {
    ReadAndComputeAlignment(WindowFieldReader(window));
    const std::string placeholder(CaptionLength, ' ');
    PrintSurface surface(*MainWindowPrinterChooser, PrintColours);
    PrintStrobeDisk(surface, Parameters, outerBars, innerBars, placeholder, placeholder);
}

void PrintCustomStrobeCommand(HWND window) {
    ReadAndComputeAlignment(WindowFieldReader(window));
    ShowCustomStrobeDialog(window);
}

void RunMainWindowCommand(HWND window, int controlId) {
    constexpr int PresetButtons[] = {ControlId::DinButton, ControlId::IecButton, ControlId::TypicalButton};
    for (std::size_t i = 0; i < std::size(PresetButtons); ++i) {
        if (PresetButtons[i] == controlId) {
            SetGrooveRadiusTexts(window, GroovePresets[i]);
            return;
        }
    }
    switch (controlId) {
    case ControlId::PrintArcTemplateButton:
        PrintArcTemplateCommand(window);
        break;
    case ControlId::Print60HzStrobeButton:
        PrintFixedStrobeCommand(window, 216, 160);
        break;
    case ControlId::Print50HzStrobeButton:
        PrintFixedStrobeCommand(window, 180, 133);
        break;
    case ControlId::PrintCustomStrobeButton:
        PrintCustomStrobeCommand(window);
        break;
    case ControlId::HelpButton:
        ShowHelpAbout();
        break;
    default:
        break;
    }
}

// The dialog manager's own handling of the close command only sends IDCANCEL, which the Esc key sends as
// well; the window must end on the first and not on the second, so the frame's command ends it here.
void HandleSystemCommand(HWND window, WPARAM command) {
    if ((command & 0xFFF0) == SC_CLOSE) {
        EndDialog(window, 0);
    }
}

} // namespace

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitialiseMainWindow(window);
        break;
    case WM_NCACTIVATE:
        KeepFocusAcrossActivation(SavedFocus, wParam != 0);
        break;
    case WM_COMMAND:
        RunMainWindowCommand(window, LOWORD(wParam));
        break;
    case WM_SYSCOMMAND:
        HandleSystemCommand(window, wParam);
        break;
    default:
        break;
    }
    return 0;
}

INT_PTR ShowMainWindow(HWND owner) {
    const std::vector<std::uint8_t> windowTemplate = MainWindowTemplate();
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(windowTemplate.data()),
                                   owner, MainWindowProc, 0);
}
