// Drives quillmere.exe from outside, as a user would, and checks what its windows show.
// Usage: main_window_driver PROGRAM OUTPUT_FOLDER CHECK...
// Each check starts the program afresh, acts on its windows and reports "ok" or what differed.

#include "geometry/alignment.h"
#include "geometry/angles.h"
#include "geometry/windows_1252.h"
#include "print_dialog_win32.h"
#include "settings/help_text.h"
#include "windows/dialog_template.h"
#include "windows/field_table.h"
#include "windows/parameter_record.h"
#include "windows/record_adaptor.h"
#include "windows/window_alignment.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------------------------
// Reporting

std::vector<std::string> Failures;

std::string Narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t unit : text) {
        if (unit == L'\n') {
            result += "\\n";
        } else if (unit >= 0x20 && unit < 0x7F) {
            result += static_cast<char>(unit);
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            result += escaped;
        }
    }
    return result;
}

void Fail(const std::string& what) {
    Failures.push_back(what);
    std::printf("    FAIL: %s\n", what.c_str());
    std::fflush(stdout);
}

void Expect(bool condition, const std::string& what) {
    if (!condition) {
        Fail(what);
    }
}

void ExpectText(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
    if (actual != expected) {
        Fail(what + ": \"" + Narrow(actual) + "\", expected \"" + Narrow(expected) + "\"");
    }
}

void ExpectNumber(long long actual, long long expected, const std::string& what) {
    if (actual != expected) {
        Fail(what + ": " + std::to_string(actual) + ", expected " + std::to_string(expected));
    }
}

std::wstring Wide(std::string_view windows1252) {
    const std::u16string text = Windows1252ToUtf16(windows1252);
    return std::wstring(text.begin(), text.end());
}

// ---------------------------------------------------------------------------------------------------------------
// The program and its windows

std::wstring ProgramPath;
std::wstring OutputFolder;

struct Program {
    PROCESS_INFORMATION Process{};
    HWND Main = nullptr;
};

constexpr wchar_t MainCaption[] = L"Quillmere 1.22BETA";
constexpr wchar_t DialogClass[] = L"#32770";

bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// Another process's control answers WM_GETTEXT itself; GetWindowText would only see a caption.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return L"<no answer>";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
}

LRESULT SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD ProcessId;
        std::vector<HWND> Found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == found->ProcessId && IsWindowVisible(window)) {
                found->Found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND FindDialog(DWORD processId, const std::wstring& caption) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (ClassOf(window) == DialogClass && TextOf(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForDialog(DWORD processId, const std::wstring& caption) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindDialog(processId, caption)) != nullptr; }, 10000);
    return found;
}

bool StartProgram(Program& program, const std::wstring& arguments = L"") {
    std::wstring commandLine = L"\"" + ProgramPath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(ProgramPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &program.Process)) {
        Fail("the program did not start (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    WaitForInputIdle(program.Process.hProcess, 10000);
    program.Main = WaitForDialog(program.Process.dwProcessId, MainCaption);
    if (program.Main == nullptr) {
        DWORD code = 0;
        const bool ended = WaitForSingleObject(program.Process.hProcess, 0) == WAIT_OBJECT_0 &&
                           GetExitCodeProcess(program.Process.hProcess, &code);
        Fail(ended ? "the program ended with 0x" + std::to_string(code) + " before showing its window"
                   : "no main window appeared");
        return false;
    }
    return true;
}

bool IsRunning(const Program& program) {
    return WaitForSingleObject(program.Process.hProcess, 0) == WAIT_TIMEOUT;
}

// Closes through the frame's close command and returns the exit code (or -1 if it did not end).
long long CloseProgram(Program& program) {
    long long exitCode = -1;
    if (program.Process.hProcess == nullptr) {
        return exitCode;
    }
    if (IsRunning(program) && program.Main != nullptr) {
        PostMessageW(program.Main, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    if (WaitForSingleObject(program.Process.hProcess, 10000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(program.Process.hProcess, &code);
        exitCode = code;
    } else {
        TerminateProcess(program.Process.hProcess, 99);
        WaitForSingleObject(program.Process.hProcess, 5000);
    }
    CloseHandle(program.Process.hThread);
    CloseHandle(program.Process.hProcess);
    program = Program{};
    return exitCode;
}

// Starts the program for one check and always ends it, whatever the check found.
void WithProgram(const std::function<void(Program&)>& check, const std::wstring& arguments = L"") {
    Program program;
    if (StartProgram(program, arguments)) {
        check(program);
    }
    CloseProgram(program);
}

void Click(HWND dialog, int controlId) {
    SendAndWait(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

// A button that opens a modal box must not be sent to: the send would only return when the box closes.
void PostClick(HWND dialog, int controlId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

HWND FocusOf(const Program& program) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(program.Process.dwThreadId, &info);
    return info.hwndFocus;
}

void PostKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// Lets the program work through what was posted to it: a message sent after the posted ones is answered last.
void Settle(const Program& program) {
    SendAndWait(program.Main, WM_NULL, 0, 0);
    Sleep(100);
    SendAndWait(program.Main, WM_NULL, 0, 0);
}

// ---------------------------------------------------------------------------------------------------------------
// What the main window must look like

enum Kind { Label, TextBox, OptionButton, PushButton };

struct ExpectedControl {
    int Id;
    Kind ControlKind;
    bool Group;
    const char* Text; // Windows-1252
    int X, Y, Width, Height;
};

// clang-format off
const ExpectedControl ExpectedControls[] = {
    {1001, Label,        false, "Spindle to Pivot Distance",   20,  20, 80, 15},
    {1002, Label,        false, "Inner Groove Radius",         20,  40, 80, 15},
    {1003, Label,        false, "Outer Groove Radius",         20,  60, 80, 15},
    {1005, TextBox,      true,  "209",                        115,  20, 35, 10},
    {1006, Label,        false, "mm",                         155,  20, 15, 15},
    {1007, TextBox,      false, "57.5",                       115,  40, 35, 10},
    {1008, TextBox,      false, "146.05",                     115,  60, 35, 10},
    {1009, Label,        false, "mm",                         155,  40, 15, 15},
    {1010, Label,        false, "mm",                         155,  60, 15, 15},
    {1011, OptionButton, true,  "L\xF6" "fgren A",             20, 145, 55, 15},
    {1012, OptionButton, false, "L\xF6" "fgren B",             20, 160, 55, 15},
    {1013, OptionButton, false, "Stevenson A",                 20, 175, 55, 15},
    {1014, PushButton,   false, "Print Arc Template",          80, 145, 65, 15},
    {1015, PushButton,   false, "Print 60Hz Strobe",          150, 145, 65, 15},
    {1016, PushButton,   false, "Print 50Hz Strobe",          150, 170, 65, 15},
    {1017, PushButton,   false, "Help",                       185,  80, 30, 15},
    {1018, Label,        false, "Printer Correction Factor X", 20,  80, 90, 15},
    {1019, TextBox,      false, "1.0",                        115,  80, 35, 10},
    {1020, PushButton,   false, "DIN",                        185,  20, 30, 15},
    {1021, PushButton,   false, "IEC",                        185,  40, 30, 15},
    {1022, PushButton,   false, "Typical",                    185,  60, 30, 15},
    {1023, Label,        false, "Printer Correction Factor Y", 20, 100, 90, 15},
    {1024, TextBox,      false, "1.0",                        115, 100, 35, 10},
    {1025, PushButton,   false, "Print Custom Strobe",         80, 170, 65, 15},
    {1036, Label,        false, "Arm or turntable ID",         20, 120, 90, 15},
    {1037, TextBox,      false, "",                           115, 120, 100, 10},
};
// clang-format on

const wchar_t* ClassNameOf(Kind kind) {
    switch (kind) {
    case Label:
        return L"STATIC";
    case TextBox:
        return L"EDIT";
    default:
        return L"BUTTON";
    }
}

std::string Name(const ExpectedControl& control) {
    return "control " + std::to_string(control.Id);
}

// Dialog units become pixels only through a dialog with the same font; another process's dialog will not
// convert them, so a hidden one of our own does.
struct DialogUnits {
    HWND Dialog = nullptr;
    DialogUnits() {
        DialogHeader header{WS_POPUP | DS_SETFONT, 0, 0, 0, 10, 10, u"", 8, u"MS Sans Serif"};
        const std::vector<std::uint8_t> bytes = WriteDialogTemplate(header, {});
        Dialog = CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
    }
    ~DialogUnits() { DestroyWindow(Dialog); }
    // What a text box allows when nobody sets a limit.
    LRESULT DefaultEditLimit() const {
        const HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10,
                                          Dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
        const LRESULT limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
        DestroyWindow(edit);
        return limit;
    }
    // The platform places a control at its converted corner and gives it its converted size, which can differ
    // by a pixel from converting the far corner.
    RECT ToPixels(int x, int y, int width, int height) const {
        RECT corner{x, y, x, y};
        MapDialogRect(Dialog, &corner);
        RECT size{0, 0, width, height};
        MapDialogRect(Dialog, &size);
        return RECT{corner.left, corner.top, corner.left + size.right, corner.top + size.bottom};
    }
};

std::string RectText(const RECT& rect) {
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom) + ")";
}

RECT ClientRectOf(HWND control, HWND dialog) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// ---------------------------------------------------------------------------------------------------------------
// Checks

void CheckWindowFrame(const Program& program) {
    const HWND main = program.Main;
    ExpectText(TextOf(main), MainCaption, "caption");
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    const LONG required = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                          DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
    ExpectNumber(style & required, required, "window style bits");
    ExpectNumber(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0,
                 "no minimise, maximise, sizing frame");
    Expect((GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0, "extended style WS_EX_CONTROLPARENT");
    Expect(GetWindow(main, GW_OWNER) == nullptr, "the main window has no owner");
    Expect(GetMenu(main) == nullptr, "the main window has no menu");

    const DialogUnits units;
    const RECT size = units.ToPixels(0, 0, 237, 202);
    RECT client{};
    GetClientRect(main, &client);
    ExpectNumber(client.right, size.right, "client width in pixels");
    ExpectNumber(client.bottom, size.bottom, "client height in pixels");
    const RECT corner = units.ToPixels(134, 120, 0, 0);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    ExpectNumber(origin.x, corner.left, "client left on the screen");
    ExpectNumber(origin.y, corner.top, "client top on the screen");
}

// The icon group in the program file: twelve images, 256, 48, 32 and 16 pixels at 4, 8 and 32 bits each.
void CheckIconResource() {
    const HMODULE module = LoadLibraryExW(ProgramPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        Fail("cannot open the program file for its resources");
        return;
    }
    const HRSRC found = FindResourceW(module, L"APPICON", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    const BYTE* group =
        found != nullptr ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    if (group == nullptr || SizeofResource(module, found) < 6) {
        Fail("no icon group APPICON");
        FreeLibrary(module);
        return;
    }
    const int count = group[4] | (group[5] << 8);
    ExpectNumber(count, 12, "images in APPICON");
    std::vector<std::pair<int, int>> images;
    for (int index = 0; index < count && 6 + 14 * (index + 1) <= static_cast<int>(SizeofResource(module, found));
         ++index) {
        const BYTE* entry = group + 6 + 14 * index;
        images.emplace_back(entry[0] == 0 ? 256 : entry[0], entry[6] | (entry[7] << 8));
    }
    for (int size : {256, 48, 32, 16}) {
        for (int bits : {4, 8, 32}) {
            Expect(std::count(images.begin(), images.end(), std::make_pair(size, bits)) == 1,
                   "APPICON holds one " + std::to_string(size) + " px image at " + std::to_string(bits) + " bits");
        }
    }
    FreeLibrary(module);
}

// 32-bit pixels of a screen area or an icon, top row first.
std::vector<DWORD> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<DWORD> IconPixels(HICON icon, int size) {
    std::vector<DWORD> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return {};
    }
    const HDC screen = GetDC(nullptr);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

bool CloseColour(DWORD a, DWORD b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) {
            return false;
        }
    }
    return true;
}

// The window's small icon cannot be asked for across processes here, so it is looked for where it shows: the
// opaque pixels of the 16-pixel APPICON image must appear somewhere at the left end of the caption bar.
void CheckCaptionIcon(const Program& program) {
    const HMODULE module = LoadLibraryExW(ProgramPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HICON icon = static_cast<HICON>(LoadImageW(module, L"APPICON", IMAGE_ICON, 16, 16, 0));
    const std::vector<DWORD> iconPixels = IconPixels(icon, 16);
    if (icon != nullptr) {
        DestroyIcon(icon);
    }
    if (module != nullptr) {
        FreeLibrary(module);
    }
    if (iconPixels.empty()) {
        Fail("APPICON has no 16-pixel image to load");
        return;
    }
    RECT window{};
    GetWindowRect(program.Main, &window);
    POINT client{0, 0};
    ClientToScreen(program.Main, &client);
    const RECT strip{window.left, window.top, window.left + 48, client.y};
    const std::vector<DWORD> screen = ScreenPixels(strip);
    const int width = strip.right - strip.left;
    const int height = strip.bottom - strip.top;
    bool found = false;
    for (int top = 0; top + 16 <= height && !found; ++top) {
        for (int left = 0; left + 16 <= width && !found; ++left) {
            int opaque = 0;
            bool same = true;
            for (int y = 0; y < 16 && same; ++y) {
                for (int x = 0; x < 16 && same; ++x) {
                    const DWORD pixel = iconPixels[static_cast<std::size_t>(y * 16 + x)];
                    if ((pixel >> 24) == 0xFF) {
                        ++opaque;
                        same = CloseColour(pixel, screen[static_cast<std::size_t>((top + y) * width + left + x)]);
                    }
                }
            }
            found = same && opaque > 64;
        }
    }
    Expect(found, "the caption shows the 16-pixel APPICON image");
}

// The controls of a dialog against a table: creation order, class, text, styles that matter, place and size.
void CheckControlTable(HWND dialog, const ExpectedControl* table, std::size_t count) {
    const DialogUnits units;
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ExpectNumber(static_cast<long long>(children.size()), static_cast<long long>(count), "number of controls");
    for (std::size_t index = 0; index < count; ++index) {
        const ExpectedControl& expected = table[index];
        const HWND control = GetDlgItem(dialog, expected.Id);
        if (control == nullptr) {
            Fail(Name(expected) + " is missing");
            continue;
        }
        if (index < children.size()) {
            Expect(children[index] == control, Name(expected) + " is not at place " + std::to_string(index + 1));
        }
        if (_wcsicmp(ClassOf(control).c_str(), ClassNameOf(expected.ControlKind)) != 0) {
            Fail(Name(expected) + " class " + Narrow(ClassOf(control)));
        }
        ExpectText(TextOf(control), Wide(expected.Text), Name(expected) + " text");

        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const LONG exStyle = GetWindowLongW(control, GWL_EXSTYLE);
        Expect((style & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE), Name(expected) + " visible child");
        Expect(((style & WS_GROUP) != 0) == expected.Group, Name(expected) + " WS_GROUP");
        // The platform keeps the tab stop of an option group on its checked button.
        const bool tabStop = expected.ControlKind == OptionButton
                                 ? SendAndWait(control, BM_GETCHECK, 0, 0) == BST_CHECKED
                                 : expected.ControlKind != Label;
        Expect(((style & WS_TABSTOP) != 0) == tabStop, Name(expected) + " WS_TABSTOP");
        switch (expected.ControlKind) {
        case Label:
            ExpectNumber(style & SS_TYPEMASK, SS_LEFT, Name(expected) + " static type");
            break;
        case TextBox:
            Expect((style & ES_AUTOHSCROLL) != 0, Name(expected) + " ES_AUTOHSCROLL");
            ExpectNumber(style & (ES_MULTILINE | ES_CENTER | ES_RIGHT | ES_READONLY | ES_NUMBER), 0,
                         Name(expected) + " single line, left, editable");
            Expect((exStyle & WS_EX_CLIENTEDGE) != 0, Name(expected) + " sunken edge");
            ExpectNumber(SendAndWait(control, EM_GETLIMITTEXT, 0, 0), units.DefaultEditLimit(),
                         Name(expected) + " has no length limit of its own");
            break;
        case OptionButton:
            ExpectNumber(style & BS_TYPEMASK, BS_AUTORADIOBUTTON, Name(expected) + " button type");
            if (expected.Group) {
                ExpectNumber(style & (BS_LEFT | BS_VCENTER), BS_LEFT | BS_VCENTER, Name(expected) + " alignment");
            }
            break;
        case PushButton:
            ExpectNumber(style & BS_TYPEMASK, BS_PUSHBUTTON, Name(expected) + " button type (not default)");
            break;
        }
        const RECT want = units.ToPixels(expected.X, expected.Y, expected.Width, expected.Height);
        const RECT have = ClientRectOf(control, dialog);
        if (!EqualRect(&want, &have)) {
            Fail(Name(expected) + " at " + RectText(have) + ", expected " + RectText(want));
        }
    }
}

void CheckControls(const Program& program) {
    CheckControlTable(program.Main, ExpectedControls, std::size(ExpectedControls));
}

// Tab stops in table order: the first text box, then each next tab stop as the platform finds it, back round.
void CheckTabOrder(const Program& program) {
    // An option group is one stop, at its checked button.
    std::vector<int> expected;
    for (const ExpectedControl& control : ExpectedControls) {
        if (control.ControlKind == OptionButton) {
            if (SendAndWait(GetDlgItem(program.Main, control.Id), BM_GETCHECK, 0, 0) == BST_CHECKED) {
                expected.push_back(control.Id);
            }
        } else if (control.ControlKind != Label) {
            expected.push_back(control.Id);
        }
    }
    ExpectNumber(static_cast<long long>(expected.size()), 15, "tab stops");
    HWND current = GetDlgItem(program.Main, 1005);
    std::vector<int> visited;
    for (std::size_t step = 0; step < expected.size(); ++step) {
        visited.push_back(GetDlgCtrlID(current));
        current = GetNextDlgTabItem(program.Main, current, FALSE);
    }
    ExpectNumber(GetDlgCtrlID(current), 1005, "Tab comes back to the first text box");
    for (std::size_t index = 0; index < expected.size(); ++index) {
        ExpectNumber(index < visited.size() ? visited[index] : 0, expected[index],
                     "tab stop " + std::to_string(index + 1));
    }

    // The real keys: the focus visits the tab stops in table order (the option group has one stop, its
    // checked button), never a label, and comes round again.
    PostKey(GetDlgItem(program.Main, 1005), VK_TAB); // focus is wherever the platform put it; start anywhere
    Settle(program);
    std::vector<int> walk;
    for (int step = 0; step < 40; ++step) {
        const HWND focus = FocusOf(program);
        walk.push_back(GetDlgCtrlID(focus));
        PostKey(focus != nullptr ? focus : program.Main, VK_TAB);
        Settle(program);
    }
    std::map<int, std::size_t> order;
    for (std::size_t index = 0; index < std::size(ExpectedControls); ++index) {
        order[ExpectedControls[index].Id] = index;
    }
    std::size_t wraps = 0;
    std::string walkText;
    for (std::size_t step = 0; step < walk.size(); ++step) {
        walkText += std::to_string(walk[step]) + " ";
        const auto found = order.find(walk[step]);
        if (found == order.end()) {
            Fail("Tab put the focus on " + std::to_string(walk[step]));
            break;
        }
        Expect(ExpectedControls[found->second].ControlKind != Label, "Tab stopped on a label");
        if (step > 0 && order[walk[step]] <= order[walk[step - 1]]) {
            ++wraps;
        }
    }
    Expect(wraps >= 1 && wraps <= 3, "Tab goes round in table order: " + walkText);
    for (int id : {1005, 1007, 1008, 1011, 1014, 1015, 1016, 1017, 1019, 1020, 1021, 1022, 1024, 1025, 1037}) {
        Expect(std::find(walk.begin(), walk.end(), id) != walk.end(),
               "Tab never reaches " + std::to_string(id) + ": " + walkText);
    }
}

struct WindowState {
    std::map<int, std::wstring> Texts;
    std::map<int, LRESULT> Checks;
};

WindowState ReadWindowState(const Program& program) {
    WindowState state;
    for (const ExpectedControl& control : ExpectedControls) {
        state.Texts[control.Id] = TextOf(GetDlgItem(program.Main, control.Id));
        if (control.ControlKind == OptionButton) {
            state.Checks[control.Id] = SendAndWait(GetDlgItem(program.Main, control.Id), BM_GETCHECK, 0, 0);
        }
    }
    return state;
}

void CheckFreshStart(const Program& program) {
    const WindowState state = ReadWindowState(program);
    for (const ExpectedControl& control : ExpectedControls) {
        ExpectText(state.Texts.at(control.Id), Wide(control.Text), Name(control) + " initial text");
    }
    ExpectNumber(state.Checks.at(1011), BST_CHECKED, "Lofgren A checked");
    ExpectNumber(state.Checks.at(1012), BST_UNCHECKED, "Lofgren B unchecked");
    ExpectNumber(state.Checks.at(1013), BST_UNCHECKED, "Stevenson A unchecked");
    Expect(state.Texts.at(1037).empty(), "the ID field is empty");
}

void CheckPresets(const Program& program) {
    struct Preset {
        int Button;
        const wchar_t* Inner;
        const wchar_t* Outer;
    };
    const Preset presets[] = {{1020, L"57.5", L"146.05"}, {1021, L"60.325", L"146.05"}, {1022, L"63", L"145"}};
    // Everything else the user may have changed stays as it is.
    SetTextOf(GetDlgItem(program.Main, 1005), L"222.5");
    SetTextOf(GetDlgItem(program.Main, 1019), L"1.01");
    SetTextOf(GetDlgItem(program.Main, 1037), L"Arm 7");
    Click(program.Main, 1012);
    for (const Preset& preset : presets) {
        for (const Preset& first : presets) {
            SetTextOf(GetDlgItem(program.Main, 1007), L"1");
            SetTextOf(GetDlgItem(program.Main, 1008), L"2");
            Click(program.Main, first.Button);
            WindowState before = ReadWindowState(program);
            Click(program.Main, preset.Button);
            const WindowState after = ReadWindowState(program);
            const std::string name =
                "preset " + std::to_string(preset.Button) + " after " + std::to_string(first.Button);
            ExpectText(after.Texts.at(1007), preset.Inner, name + " inner radius");
            ExpectText(after.Texts.at(1008), preset.Outer, name + " outer radius");
            before.Texts[1007] = preset.Inner;
            before.Texts[1008] = preset.Outer;
            Expect(after.Texts == before.Texts, name + " changed another text");
            Expect(after.Checks == before.Checks, name + " changed an option button");
        }
    }
    const WindowState last = ReadWindowState(program);
    ExpectText(last.Texts.at(1005), L"222.5", "spindle-to-pivot text kept");
    ExpectNumber(last.Checks.at(1012), BST_CHECKED, "Lofgren B still checked");
}

struct BoxContents {
    std::wstring Text;
    std::vector<std::wstring> Buttons;
    bool OkIsDefault = false;
};

BoxContents ReadBox(HWND box) {
    BoxContents contents;
    contents.Text = TextOf(GetDlgItem(box, 0xFFFF));
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(ClassOf(child).c_str(), L"BUTTON") == 0 && (style & WS_VISIBLE) != 0) {
            contents.Buttons.push_back(TextOf(child));
            if (GetDlgCtrlID(child) == IDOK) {
                contents.OkIsDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            }
        }
    }
    return contents;
}

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        text += (index > 0 ? L"\n" : L"") + lines[index];
    }
    return text;
}

enum class Dismissal { OkButton, CancelButton, EscapeKey, CloseBox };

const char* DismissalName(Dismissal how) {
    switch (how) {
    case Dismissal::OkButton:
        return "OK";
    case Dismissal::CancelButton:
        return "Cancel";
    case Dismissal::EscapeKey:
        return "Esc";
    case Dismissal::CloseBox:
        return "close box";
    }
    return "?";
}

void Dismiss(const Program& program, HWND box, Dismissal how) {
    switch (how) {
    case Dismissal::OkButton:
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        break;
    case Dismissal::CancelButton:
        PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Dismissal::EscapeKey: {
        const HWND focus = FocusOf(program);
        PostKey(focus != nullptr ? focus : box, VK_ESCAPE);
        break;
    }
    case Dismissal::CloseBox:
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

// Opens a box with a button of the main window, checks what every box must be, and hands it over.
HWND OpenBox(const Program& program, int button, const std::wstring& title) {
    PostClick(program.Main, button);
    const HWND box = WaitForDialog(program.Process.dwProcessId, title);
    if (box == nullptr) {
        Fail("no box \"" + Narrow(title) + "\" after button " + std::to_string(button));
        return nullptr;
    }
    Expect(GetWindow(box, GW_OWNER) == nullptr, "the box has no owner");
    Expect(!IsWindowEnabled(program.Main), "the main window takes no input while the box is up");
    return box;
}

// After a box closes: the main window is back, enabled, alone, and still running.
void ExpectOnlyMainWindow(const Program& program, const std::string& after) {
    Expect(WaitFor([&] { return IsWindowEnabled(program.Main) != FALSE; }, 5000),
           "main window enabled again after " + after);
    Sleep(200);
    const std::vector<HWND> windows = TopLevelWindowsOf(program.Process.dwProcessId);
    std::string seen;
    for (HWND window : windows) {
        if (window != program.Main) {
            seen += " [" + Narrow(ClassOf(window)) + " \"" + Narrow(TextOf(window)) + "\": \"" +
                    Narrow(TextOf(GetDlgItem(window, 0xFFFF))) + "\"]";
        }
    }
    Expect(windows.size() == 1 && windows[0] == program.Main, "no other window after " + after + seen);
    Expect(IsRunning(program), "the program still runs after " + after);
}

// Gives a control the keyboard focus with its window in front, as a user's click would.
void FocusControl(const Program& program, HWND window, int id) {
    SetForegroundWindow(window);
    Settle(program);
    // Focus can only be given from the thread that owns the window's input.
    const DWORD self = GetCurrentThreadId();
    AttachThreadInput(self, program.Process.dwThreadId, TRUE);
    SetFocus(GetDlgItem(window, id));
    AttachThreadInput(self, program.Process.dwThreadId, FALSE);
    Settle(program);
    ExpectNumber(GetDlgCtrlID(FocusOf(program)), id, "focus given to the control");
}

// After a box closes, its window is the foreground window again with the focus on the control that had it.
void ExpectFocusBack(const Program& program, HWND window, int id, const std::string& after) {
    Expect(WaitFor([&] { return GetForegroundWindow() == window; }, 3000), "the window is in front after " + after);
    Settle(program);
    ExpectNumber(GetDlgCtrlID(FocusOf(program)), id, "focus after " + after);
}

void CheckHelpBox(const Program& program) {
    const std::wstring expected = Wide(HelpAboutText());
    const Dismissal closings[] = {Dismissal::OkButton, Dismissal::EscapeKey, Dismissal::CloseBox};
    const int focused[] = {1008, 1017, 1037};
    for (int round = 0; round < 3; ++round) {
        const std::string name = std::string("help box, round ") + std::to_string(round + 1);
        FocusControl(program, program.Main, focused[round]);
        const HWND box = OpenBox(program, 1017, L"Help/About");
        if (box == nullptr) {
            return;
        }
        const BoxContents contents = ReadBox(box);
        ExpectText(contents.Text, expected, name + " text");
        ExpectNumber(std::count(contents.Text.begin(), contents.Text.end(), L'\n'), 25, name + " line feeds");
        Expect(contents.Text.find(L"\n\n") == contents.Text.find(L"damage under any circumstances.") + 31,
               name + ": the sixth line is the empty one");
        Expect(contents.Text.find(L"L\x00F6"
                                  L"fgren A is also") != std::wstring::npos,
               name + ": o-umlaut");
        Expect(contents.Buttons == std::vector<std::wstring>{L"OK"}, name + ": exactly one OK button");
        Dismiss(program, box, closings[round]);
        Expect(WaitFor([&] { return !IsWindow(box); }, 5000),
               name + ": " + DismissalName(closings[round]) + " closes it");
        ExpectOnlyMainWindow(program, name);
        ExpectFocusBack(program, program.Main, focused[round], name);
    }
    // The keyboard works at once: a real Tab key, through the system's input queue, moves the focus on.
    INPUT keys[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    Settle(program);
    ExpectNumber(GetDlgCtrlID(FocusOf(program)), 1005, "focus after a real Tab key from the last field");
}

void CheckConfirmationBox(const Program& program) {
    // The example of the initial texts, line by line.
    const std::wstring initial =
        Joined({L"ID = " + std::wstring(40, L' '), L"Inner groove radius = 57.500", L"Outer groove radius = 146.050",
                L"Pivot to spindle distance = 209.000", L"Inner null radius = 63.103", L"Outer null radius = 119.173",
                L"Effective length = 226.277", L"Overhang = 17.277", L"Offset angle = 23.752\x00B0",
                L"Linear offset = 91.138"});
    const Dismissal closings[] = {Dismissal::CancelButton, Dismissal::EscapeKey, Dismissal::CloseBox};
    for (Dismissal how : closings) {
        const std::string name = std::string("confirmation box closed with ") + DismissalName(how);
        const int focused = how == Dismissal::EscapeKey ? 1014 : 1005;
        FocusControl(program, program.Main, focused);
        const WindowState before = ReadWindowState(program);
        const HWND box = OpenBox(program, 1014, L"Confirm Parameters");
        if (box == nullptr) {
            return;
        }
        const BoxContents contents = ReadBox(box);
        ExpectText(contents.Text, initial, name + ": text");
        Expect(contents.Buttons == std::vector<std::wstring>{L"OK", L"Cancel"}, name + ": buttons OK and Cancel");
        Expect(contents.OkIsDefault, name + ": OK is the default button");
        Dismiss(program, box, how);
        Expect(WaitFor([&] { return !IsWindow(box); }, 5000), name + ": it closes");
        ExpectOnlyMainWindow(program, name);
        ExpectFocusBack(program, program.Main, focused, name);
        const WindowState after = ReadWindowState(program);
        Expect(after.Texts == before.Texts && after.Checks == before.Checks, name + ": the window is unchanged");
    }

    // Another geometry and an identifier longer than the record keeps.
    const std::string armId = "Rega RB300 on a Planar 3, serial 0123456789-ABCDEF";
    // The record as the program must compute it from these texts, read through the same rules.
    FieldTextTable table;
    table.Texts = {{1005, "222.25"}, {1007, "60.325"}, {1008, "146.05"}, {1019, "1.0"}, {1024, "1.0"}, {1037, armId}};
    table.Checks = {{1013, 1}};
    for (const auto& [id, text] : table.Texts) {
        SetTextOf(GetDlgItem(program.Main, id), Wide(text));
    }
    Click(program.Main, 1013);
    ParameterRecord record{};
    ReadAndComputeAlignment(table, record);
    const std::wstring expected = Wide(ConfirmationText(record));
    const HWND box = OpenBox(program, 1014, L"Confirm Parameters");
    if (box == nullptr) {
        return;
    }
    const std::wstring text = ReadBox(box).Text;
    ExpectText(text, expected, "Stevenson A with a 50-character ID");
    ExpectText(text.substr(0, text.find(L'\n')), L"ID = " + Wide(armId.substr(0, 40)), "the ID line keeps 40 bytes");
    ExpectText(text.substr(text.find(L"Pivot")).substr(0, 35), L"Pivot to spindle distance = 222.250",
               "the distance line");
    Dismiss(program, box, Dismissal::CancelButton);
    WaitFor([&] { return !IsWindow(box); }, 5000);
    ExpectOnlyMainWindow(program, "the second confirmation");
}

void CheckClosing(Program& program) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        const std::string name = key == VK_ESCAPE ? "Esc" : "Enter";
        for (int id : {1005, 1017, 1011}) {
            PostKey(GetDlgItem(program.Main, id), key);
            Settle(program);
            Sleep(300);
            Expect(IsRunning(program) && IsWindowVisible(program.Main),
                   name + " on control " + std::to_string(id) + " closed the window");
        }
        PostKey(program.Main, key);
        Settle(program);
        Sleep(300);
        Expect(IsRunning(program) && IsWindowVisible(program.Main), name + " on the window closed it");
    }
    ExpectNumber(CloseProgram(program), 0, "exit code after the close command");
}

// A window as it is on the screen, as a BMP for the runner to turn into PNG.
void SaveScreenshot(const Program& program, HWND window, const std::wstring& name) {
    SetForegroundWindow(window);
    Settle(program);
    Sleep(500);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    const std::wstring path = OutputFolder + L"\\" + name + L".bmp";
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (copied && bits != nullptr && out != nullptr) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, out);
        std::fwrite(bits, 1, imageBytes, out);
    } else {
        Fail("could not save the screenshot");
    }
    if (out != nullptr) {
        std::fclose(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// clang-format off
const ExpectedControl ExpectedCustomControls[] = {
    {1026, Label,      false, "Number of outer bars",          15,  20,  70, 15},
    {1027, Label,      false, "Number of inner bars",          15,  50,  70, 15},
    {1028, Label,      false, "Caption line 1",                15,  80,  70, 15},
    {1029, Label,      false, "Caption line 2",                15, 110,  70, 15},
    {1030, TextBox,    false, "216",                           90,  20,  35, 10},
    {1031, TextBox,    false, "160",                           90,  50,  35, 10},
    {1032, TextBox,    false, "33 1/3 RPM - 60 HZ - 216 BARS", 90,  80, 105, 10},
    {1033, TextBox,    false, "45 RPM - 60 HZ - 160 BARS",     90, 110, 105, 10},
    {1034, PushButton, false, "OK",                            25, 140,  65, 15},
    {1035, PushButton, false, "Cancel",                       120, 140,  65, 15},
};
// clang-format on

constexpr wchar_t CustomCaption[] = L"Custom Strobe Parameters";

HWND FindOwnedDialog(DWORD processId, HWND owner) {
    for (HWND window : TopLevelWindowsOf(processId)) {
        if (ClassOf(window) == DialogClass && GetWindow(window, GW_OWNER) == owner) {
            return window;
        }
    }
    return nullptr;
}

HWND OpenCustomDialog(const Program& program) {
    PostClick(program.Main, 1025);
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindOwnedDialog(program.Process.dwProcessId, program.Main)) != nullptr; }, 10000);
    if (dialog == nullptr) {
        Fail("no custom strobe dialog after \"Print Custom Strobe\"");
        return nullptr;
    }
    ExpectText(TextOf(dialog), CustomCaption, "custom dialog caption");
    Expect(!IsWindowEnabled(program.Main), "the main window takes no input while the custom dialog is up");
    return dialog;
}

bool WaitClosed(HWND window) {
    return WaitFor([&] { return !IsWindow(window); }, 10000);
}

// With no printer installed, the platform's print dialog says so in a box of its own (owned by the dialog's
// hidden window); the window the print command came from takes no input meanwhile, and after it the command
// ends silently.
void AnswerNoPrinterNotice(const Program& program, HWND owner, const std::string& after) {
    HWND notice = nullptr;
    WaitFor([&] { return (notice = FindDialog(program.Process.dwProcessId, L"Print")) != nullptr; }, 10000);
    if (notice == nullptr) {
        Fail("no printer choice after " + after);
        return;
    }
    ExpectText(TextOf(GetDlgItem(notice, 0xFFFF)).substr(0, 20), L"Before you can perfo", "the no-printer notice");
    Expect(!IsWindowEnabled(owner), "the window takes no input during the printer choice after " + after);
    PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
    Expect(WaitClosed(notice), "the no-printer notice closes after " + after);
}

void CheckCustomStrobeDialog(const Program& program) {
    HWND dialog = OpenCustomDialog(program);
    if (dialog == nullptr) {
        return;
    }
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    Expect((style & WS_CAPTION) == WS_CAPTION, "custom dialog has a title bar");
    ExpectNumber(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0,
                 "custom dialog: no system menu, close box, minimise, maximise or sizing frame");
    const DialogUnits units;
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT size = units.ToPixels(0, 0, 211, 180);
    ExpectNumber(client.right, size.right, "custom dialog client width");
    ExpectNumber(client.bottom, size.bottom, "custom dialog client height");
    POINT mainOrigin{0, 0};
    ClientToScreen(program.Main, &mainOrigin);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    const RECT offset = units.ToPixels(102, 88, 0, 0);
    ExpectNumber(origin.x - mainOrigin.x, offset.left, "custom dialog left from the main window's client area");
    ExpectNumber(origin.y - mainOrigin.y, offset.top, "custom dialog top from the main window's client area");
    CheckControlTable(dialog, ExpectedCustomControls, std::size(ExpectedCustomControls));
    SaveScreenshot(program, dialog, L"custom_strobe_dialog");

    // Cancel and Esc leave, and the next opening shows the defaults again.
    struct Leaving {
        const char* Name;
        std::function<void(HWND)> Act;
    };
    const Leaving leavings[] = {
        {"Cancel", [](HWND d) { PostMessageW(GetDlgItem(d, 1035), BM_CLICK, 0, 0); }},
        {"Esc", [&](HWND d) { PostKey(GetDlgItem(d, 1030), VK_ESCAPE); }},
    };
    for (const Leaving& leaving : leavings) {
        for (int id : {1030, 1031, 1032, 1033}) {
            SetTextOf(GetDlgItem(dialog, id), L"77");
        }
        leaving.Act(dialog);
        Expect(WaitClosed(dialog), std::string(leaving.Name) + " closes the custom dialog");
        ExpectOnlyMainWindow(program, std::string("custom dialog ") + leaving.Name);
        dialog = OpenCustomDialog(program);
        if (dialog == nullptr) {
            return;
        }
        for (const ExpectedControl& control : ExpectedCustomControls) {
            ExpectText(TextOf(GetDlgItem(dialog, control.Id)), Wide(control.Text),
                       Name(control) + " shows its default after " + leaving.Name);
        }
    }

    // Too many bars: refused in a box owned by the dialog, which stays open with what was typed; then the count
    // has the focus with its text selected, ready for the correction.
    SetTextOf(GetDlgItem(dialog, 1030), L"20000");
    FocusControl(program, dialog, 1032);
    PostMessageW(GetDlgItem(dialog, 1034), BM_CLICK, 0, 0);
    HWND refusal = nullptr;
    WaitFor([&] { return (refusal = FindOwnedDialog(program.Process.dwProcessId, dialog)) != nullptr; }, 10000);
    if (refusal == nullptr) {
        Fail("20000 bars: no refusal");
    } else {
        ExpectText(TextOf(GetDlgItem(refusal, 0xFFFF)), L"The number of bars must be 10000 or less.", "refusal text");
        Expect(!IsWindowEnabled(dialog), "the custom dialog takes no input while the refusal is up");
        PostMessageW(GetDlgItem(refusal, IDOK), BM_CLICK, 0, 0);
        Expect(WaitClosed(refusal), "the refusal closes with OK");
        Sleep(300);
        Expect(IsWindow(dialog) && IsWindowVisible(dialog), "the custom dialog stays open after the refusal");
        ExpectText(TextOf(GetDlgItem(dialog, 1030)), L"20000", "the typed count stays");
        ExpectFocusBack(program, dialog, 1030, "the refusal");
        Expect(SendAndWait(GetDlgItem(dialog, 1030), EM_GETSEL, 0, 0) == MAKELRESULT(0, 5), "the count is selected");
    }

    // Enter acts as OK: with a count within the limit it goes to the printer choice; with no printer
    // installed that ends silently and the dialog closes.
    SetTextOf(GetDlgItem(dialog, 1030), L"216");
    PostKey(GetDlgItem(dialog, 1030), VK_RETURN);
    AnswerNoPrinterNotice(program, dialog, "Enter in the custom dialog");
    Expect(WaitClosed(dialog), "Enter closes the custom dialog when nothing can be printed");
    ExpectOnlyMainWindow(program, "Enter in the custom dialog");
}

void CheckPrintCommandsWithoutPrinter(const Program& program) {
    for (int button : {1015, 1016}) {
        PostClick(program.Main, button);
        AnswerNoPrinterNotice(program, program.Main, "button " + std::to_string(button));
        ExpectOnlyMainWindow(program, "button " + std::to_string(button));
    }
    FocusControl(program, program.Main, 1007);
    const HWND box = OpenBox(program, 1014, L"Confirm Parameters");
    if (box != nullptr) {
        Dismiss(program, box, Dismissal::OkButton);
        Expect(WaitClosed(box), "OK closes the confirmation box");
        AnswerNoPrinterNotice(program, program.Main, "OK on the confirmation box");
        ExpectOnlyMainWindow(program, "OK on the confirmation box");
        ExpectFocusBack(program, program.Main, 1007, "OK on the confirmation box and the printer choice");
    }
    const WindowState state = ReadWindowState(program);
    for (const ExpectedControl& control : ExpectedControls) {
        ExpectText(state.Texts.at(control.Id), Wide(control.Text), Name(control) + " unchanged by printing");
    }
}

// Switching to another program and back returns the keyboard focus to the control that had it.
void CheckFocusAcrossActivation(const Program& program) {
    const HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500,
                                       200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int id : {1008, 1017, 1037, 1011}) {
        FocusControl(program, program.Main, id);
        SetForegroundWindow(other);
        Settle(program);
        Expect(GetForegroundWindow() == other, "another window is in front");
        SetForegroundWindow(program.Main);
        Settle(program);
        Expect(GetForegroundWindow() == program.Main, "the main window is in front again");
        ExpectNumber(GetDlgCtrlID(FocusOf(program)), id, "focus after switching away and back");
    }
    DestroyWindow(other);
}

// ---------------------------------------------------------------------------------------------------------------
// Printing through the platform's print dialog into the queue named by QUILLMERE_QUEUE

std::wstring QueueName(const wchar_t* variable = L"QUILLMERE_QUEUE") {
    wchar_t name[256] = {};
    GetEnvironmentVariableW(variable, name, 256);
    return name;
}

// The print dialog comes up over the window the command came from, which takes no input meanwhile; it is
// answered with the queue and OK, or with Cancel, and the command then runs to its end.
void AnswerPrinterChoice(const Program& program, HWND owner, bool pressOk, const std::string& what,
                         const std::wstring& queue = QueueName()) {
    const HWND dialog = WaitForPrintDialog(program.Process.dwProcessId, 20000);
    if (dialog == nullptr) {
        Fail(what + ": no print dialog");
        return;
    }
    Expect(!IsWindowEnabled(owner), what + ": the window takes no input while the print dialog is open");
    const PrintDialogAnswer answer = AnswerPrintDialog(program.Process.dwProcessId, queue, pressOk, 20000);
    Expect(answer.QueueSelected, what + ": the queue is in the print dialog");
    Expect(WaitClosed(dialog), what + ": the print dialog closes");
    ExpectOnlyMainWindow(program, what);
}

void PrintFixedStrobe(const Program& program, int button, bool pressOk, const std::wstring& queue = QueueName()) {
    PostClick(program.Main, button);
    AnswerPrinterChoice(program, program.Main, pressOk, "button " + std::to_string(button), queue);
}

void PrintArcTemplateThroughConfirmation(const Program& program) {
    const HWND box = OpenBox(program, 1014, L"Confirm Parameters");
    if (box != nullptr) {
        Dismiss(program, box, Dismissal::OkButton);
        AnswerPrinterChoice(program, program.Main, true, "the arc template");
    }
}

void PrintCustomStrobe(const Program& program, const wchar_t* outer, const wchar_t* inner) {
    const HWND dialog = OpenCustomDialog(program);
    if (dialog == nullptr) {
        return;
    }
    SetTextOf(GetDlgItem(dialog, 1030), outer);
    SetTextOf(GetDlgItem(dialog, 1031), inner);
    PostMessageW(GetDlgItem(dialog, 1034), BM_CLICK, 0, 0);
    AnswerPrinterChoice(program, dialog, true, "the custom disk");
    Expect(!IsWindow(dialog), "the custom dialog closes after printing");
}

// Cancel on the confirmation box: no print dialog, nothing printed.
void CancelArcTemplate(const Program& program) {
    const HWND box = OpenBox(program, 1014, L"Confirm Parameters");
    if (box != nullptr) {
        Dismiss(program, box, Dismissal::CancelButton);
        Expect(WaitClosed(box), "Cancel closes the confirmation box");
        Expect(WaitForPrintDialog(program.Process.dwProcessId, 2000) == nullptr, "no print dialog after Cancel");
        ExpectOnlyMainWindow(program, "Cancel on the confirmation box");
    }
}

// A print check runs the program once and expects it to end normally afterwards.
void WithPrintingProgram(const std::function<void(Program&)>& check, const std::wstring& arguments = L"") {
    Program program;
    if (StartProgram(program, arguments)) {
        check(program);
        ExpectNumber(CloseProgram(program), 0, "exit code after printing");
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Unreasonable input through the window to the printed page. Nothing is refused: the confirmation box shows what
// the numbers became, the arc template goes to the queue named by QUILLMERE_QUEUE and the 60 Hz disk to the one
// named by QUILLMERE_STROBE_QUEUE (so that the runner can keep both pages), and the window still answers after.

struct BadInput {
    const char* Name;
    std::map<int, std::wstring> Typed; // the other fields keep their initial texts
    // The confirmation lines after the ID line, worked out by hand from the alignment formulas with the
    // initial "L\xF6fgren A": zero over zero and infinity over infinity give NaN, shown as "0.000".
    std::vector<std::wstring> Confirmation;
};

const std::wstring Degree = L"\x00B0";

// clang-format off
const BadInput BadInputs[] = {
    {"empty",
     {{1005, L""}, {1007, L""}, {1008, L""}, {1019, L""}, {1024, L""}},
     {L"Inner groove radius = 0.000", L"Outer groove radius = 0.000", L"Pivot to spindle distance = 0.000",
      L"Inner null radius = 0.000", L"Outer null radius = 0.000", L"Effective length = 0.000", L"Overhang = 0.000",
      L"Offset angle = 0.000" + Degree, L"Linear offset = 0.000"}},
    // The null radii depend on the groove radii alone; L = sqrt(P + d * d) is infinite and the overhang L - d NaN.
    {"huge_distance",
     {{1005, L"1e9999"}},
     {L"Inner groove radius = 57.500", L"Outer groove radius = 146.050", L"Pivot to spindle distance = Infinity",
      L"Inner null radius = 63.103", L"Outer null radius = 119.173", L"Effective length = Infinity",
      L"Overhang = 0.000", L"Offset angle = 0.000" + Degree, L"Linear offset = 91.138"}},
    {"huge_radius",
     {{1007, L"1e9999"}},
     {L"Inner groove radius = Infinity", L"Outer groove radius = 146.050", L"Pivot to spindle distance = 209.000",
      L"Inner null radius = 0.000", L"Outer null radius = 0.000", L"Effective length = 0.000", L"Overhang = 0.000",
      L"Offset angle = 0.000" + Degree, L"Linear offset = 0.000"}},
    // The null radii trade places; everything else is as for the IEC preset.
    {"swapped",
     {{1007, L"146.05"}, {1008, L"60.325"}},
     {L"Inner groove radius = 146.050", L"Outer groove radius = 60.325", L"Pivot to spindle distance = 209.000",
      L"Inner null radius = 120.891", L"Outer null radius = 65.998", L"Effective length = 227.287",
      L"Overhang = 18.287", L"Offset angle = 24.276" + Degree, L"Linear offset = 93.445"}},
};
// clang-format on

// After the printouts the window still works: a preset fills the radii, the help box opens and closes, and the
// fields the presets leave alone still hold what was typed.
void ExpectWindowStillAnswers(const Program& program, const BadInput& input) {
    const std::string name = std::string(input.Name) + ": after printing";
    Click(program.Main, 1022);
    ExpectText(TextOf(GetDlgItem(program.Main, 1007)), L"63", name + ", \"Typical\" sets the inner radius");
    ExpectText(TextOf(GetDlgItem(program.Main, 1008)), L"145", name + ", \"Typical\" sets the outer radius");
    const HWND help = OpenBox(program, 1017, L"Help/About");
    if (help != nullptr) {
        ExpectText(ReadBox(help).Text, Wide(HelpAboutText()), name + ", the help text");
        Dismiss(program, help, Dismissal::OkButton);
        Expect(WaitClosed(help), name + ", the help box closes");
        ExpectOnlyMainWindow(program, name + ", the help box");
    }
    for (const auto& [id, text] : input.Typed) {
        if (id != 1007 && id != 1008) {
            ExpectText(TextOf(GetDlgItem(program.Main, id)), text, name + ", control " + std::to_string(id));
        }
    }
}

void PrintWithBadInput(const Program& program, const BadInput& input) {
    for (const auto& [id, text] : input.Typed) {
        SetTextOf(GetDlgItem(program.Main, id), text);
    }
    const HWND box = OpenBox(program, 1014, L"Confirm Parameters");
    if (box == nullptr) {
        return;
    }
    std::vector<std::wstring> lines{L"ID = " + std::wstring(40, L' ')};
    lines.insert(lines.end(), input.Confirmation.begin(), input.Confirmation.end());
    const BoxContents contents = ReadBox(box);
    ExpectText(contents.Text, Joined(lines), std::string(input.Name) + ": confirmation text");
    Expect(contents.Buttons == std::vector<std::wstring>{L"OK", L"Cancel"}, std::string(input.Name) + ": OK offered");
    Dismiss(program, box, Dismissal::OkButton);
    Expect(WaitClosed(box), std::string(input.Name) + ": OK closes the confirmation box");
    AnswerPrinterChoice(program, program.Main, true, std::string(input.Name) + ": the arc template");
    PrintFixedStrobe(program, 1015, true, QueueName(L"QUILLMERE_STROBE_QUEUE"));
    ExpectWindowStillAnswers(program, input);
}

void CheckBadInput(const std::string& name) {
    const auto found = std::find_if(std::begin(BadInputs), std::end(BadInputs),
                                    [&](const BadInput& input) { return name == input.Name; });
    if (found == std::end(BadInputs)) {
        Fail("no bad input named " + name);
        return;
    }
    WithPrintingProgram([&](Program& program) { PrintWithBadInput(program, *found); });
}

// ---------------------------------------------------------------------------------------------------------------
// Measuring a rendered page (binary PGM or PPM at a known resolution, printable area `margin` mm in from every
// paper edge)

struct Raster {
    int Width = 0;
    int Height = 0;
    int Channels = 1;
    std::vector<unsigned char> Pixels;
    // Darkness 0..1 of the pixel under a point; outside the page counts as white.
    double Dark(double x, double y) const {
        const long column = std::lround(x);
        const long row = std::lround(y);
        if (column < 0 || row < 0 || column >= Width || row >= Height) {
            return 0;
        }
        const std::size_t at =
            (static_cast<std::size_t>(row) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(column)) *
            static_cast<std::size_t>(Channels);
        int sum = 0;
        for (int channel = 0; channel < Channels; ++channel) {
            sum += Pixels[at + static_cast<std::size_t>(channel)];
        }
        return 1 - sum / (255.0 * Channels);
    }
    DWORD Colour(double x, double y) const {
        const std::size_t at = (static_cast<std::size_t>(std::lround(y)) * static_cast<std::size_t>(Width) +
                                static_cast<std::size_t>(std::lround(x))) *
                               static_cast<std::size_t>(Channels);
        return Channels == 3 ? RGB(Pixels[at], Pixels[at + 1], Pixels[at + 2])
                             : RGB(Pixels[at], Pixels[at], Pixels[at]);
    }
};

bool ReadRaster(const std::wstring& path, Raster& raster) {
    std::ifstream file(path.c_str(), std::ios::binary);
    // Header fields are separated by white space; a '#' starts a comment that runs to the line's end.
    const auto field = [&file]() {
        std::string text;
        while (file >> text && text.front() == '#') {
            std::string rest;
            std::getline(file, rest);
        }
        return text;
    };
    const std::string magic = field();
    raster.Width = std::atoi(field().c_str());
    raster.Height = std::atoi(field().c_str());
    const int maximum = std::atoi(field().c_str());
    file.get();
    if (!file || (magic != "P5" && magic != "P6") || maximum != 255 || raster.Width <= 0 || raster.Height <= 0) {
        return false;
    }
    raster.Channels = magic == "P6" ? 3 : 1;
    raster.Pixels.resize(static_cast<std::size_t>(raster.Width) * static_cast<std::size_t>(raster.Height) *
                         static_cast<std::size_t>(raster.Channels));
    file.read(reinterpret_cast<char*>(raster.Pixels.data()), static_cast<std::streamsize>(raster.Pixels.size()));
    return static_cast<bool>(file);
}

// Wine's printer draws with its own pen around each edge, so lengths agree within half a millimetre.
constexpr double ToleranceMm = 0.5;

void ExpectNearMm(double measured, double expected, const std::string& what) {
    const bool within = std::fabs(measured - expected) <= ToleranceMm;
    std::printf("    %s: %.2f mm, expected %.2f mm\n", what.c_str(), measured, expected);
    Expect(within, what);
}

// Where the darkness crosses one half along a line from `from` to `to` (pixels), as distances from `from`.
std::vector<double> EdgesAlong(const Raster& page, double x0, double y0, double dx, double dy, double length) {
    std::vector<double> edges;
    const double step = 0.1;
    double previous = page.Dark(x0, y0);
    for (double t = step; t <= length; t += step) {
        const double dark = page.Dark(x0 + t * dx, y0 + t * dy);
        if ((previous < 0.5) != (dark < 0.5)) {
            edges.push_back(t - step / 2);
        }
        previous = dark;
    }
    return edges;
}

struct PageMapping {
    double PixelsPerMm;
    double Margin;
    bool Turned; // a landscape page lies turned on the portrait paper: page x runs up, page y to the right
    int Height;
    double Column(double x, double y) const { return ((Turned ? y : x) + Margin) * PixelsPerMm; }
    double Row(double x, double y) const {
        return Turned ? Height - (x + Margin) * PixelsPerMm : (y + Margin) * PixelsPerMm;
    }
};

// The 15-dot timing mark ends in a round cap: its top lies half the pen, 7.5 dots, beyond its end point 70 mm down,
// as in the Linux tool's PDF (whose test measures the same). Ghostscript paints every pixel a shape touches, so each
// edge stands out by half of what the mark's measured width exceeds its 15 dots; that much is taken off.
void MeasureTimingMark(const Raster& page, const PageMapping& map) {
    const std::vector<double> across =
        EdgesAlong(page, map.Column(103, 100), map.Row(103, 100), 1, 0, 2 * map.PixelsPerMm);
    const std::vector<double> top = EdgesAlong(page, map.Column(104, 73), map.Row(104, 73), 0, -1, 5 * map.PixelsPerMm);
    if (across.size() != 2 || top.size() != 1) {
        return Fail("timing mark: not found where it belongs");
    }
    // The printer's resolution from the mark's width, to a whole step of 50 dots per inch.
    const double renderDpi = map.PixelsPerMm * 25.4;
    const double printerDpi = std::round(renderDpi * 15 / (across[1] - across[0]) / 50) * 50;
    const double pixelsPerDot = renderDpi / printerDpi;
    const double dots = printerDpi / static_cast<double>(25.4f);
    const double spread = (across[1] - across[0] - 15 * pixelsPerDot) / 2;
    // Pixel k spans k - 0.5 to k + 0.5 here, and the printer's row of dots d (from the paper's edge) starts at d.
    const double end = (std::nearbyint(map.Margin * dots) + std::nearbyint(70 * dots)) * pixelsPerDot - 0.5;
    const double overshoot = (end - (map.Row(104, 73) - top[0] + spread)) / pixelsPerDot;
    std::printf("    timing mark at %.0f dpi: %.2f dots beyond its end point, expected 7.50\n", printerDpi, overshoot);
    Expect(std::fabs(overshoot - 7.5) <= 0.5, "the timing mark's round cap");
}

// The strobe disk: portrait, both rings at their radii around the page point (104, 134) mm, with their bars.
void MeasureStrobe(const Raster& page, const PageMapping& map, int outerBars, int innerBars) {
    Expect(page.Height > page.Width, "the strobe disk is printed portrait");
    const double cx = map.Column(104, 134);
    const double cy = map.Row(104, 134);
    struct Ring {
        int Bars;
        double Inner, Outer;
    };
    for (const Ring ring : {Ring{outerBars, 75, 87.5}, Ring{innerBars, 67.5, 72.5}}) {
        const std::string name = "ring of " + std::to_string(ring.Bars) + " bars";
        // Through the middle of the first bar, outward.
        const double angle = Pi / (2 * ring.Bars);
        const double from = (ring.Inner - 1) * map.PixelsPerMm;
        const std::vector<double> edges =
            EdgesAlong(page, cx + from * std::cos(angle), cy - from * std::sin(angle), std::cos(angle),
                       -std::sin(angle), (ring.Outer - ring.Inner + 2) * map.PixelsPerMm);
        if (edges.size() != 2) {
            Fail(name + ": " + std::to_string(edges.size()) + " edges across the ring, expected 2");
        } else {
            ExpectNearMm(ring.Inner - 1 + edges[0] / map.PixelsPerMm, ring.Inner, name + " inner radius");
            ExpectNearMm(ring.Inner - 1 + edges[1] / map.PixelsPerMm, ring.Outer, name + " outer radius");
        }
        const double radius = (ring.Inner + ring.Outer) / 2 * map.PixelsPerMm;
        int bars = 0;
        bool wasDark = page.Dark(cx + radius, cy) >= 0.5;
        const int samples = 20000;
        for (int step = 1; step <= samples; ++step) {
            const double around = 2 * Pi * step / samples;
            const bool dark = page.Dark(cx + radius * std::cos(around), cy - radius * std::sin(around)) >= 0.5;
            bars += wasDark && !dark ? 1 : 0;
            wasDark = dark;
        }
        ExpectNumber(bars, ring.Bars, name + " counted around");
    }
    MeasureTimingMark(page, map);
}

// The arc template: landscape; frame ticks at 100, 180 and 200 mm from the axes, spindle and pivot crosses as
// far apart as the distance.
void MeasureArcTemplate(const Raster& page, const PageMapping& map, double distance) {
    // The pivot lies further right than a portrait page is wide, so finding it shows the page was landscape.
    const auto centreAlong = [&](double x0, double y0, double x1, double y1) -> double {
        // Centre of the first dark run between two page points, as a page distance from the first (mm).
        const double px0 = map.Column(x0, y0);
        const double py0 = map.Row(x0, y0);
        const double length = std::hypot(map.Column(x1, y1) - px0, map.Row(x1, y1) - py0);
        const double dx = (map.Column(x1, y1) - px0) / length;
        const double dy = (map.Row(x1, y1) - py0) / length;
        const std::vector<double> edges = EdgesAlong(page, px0, py0, dx, dy, length);
        if (edges.size() < 2) {
            return -1000;
        }
        return (edges[0] + edges[1]) / 2 / map.PixelsPerMm;
    };
    const double verticalAxis = centreAlong(0, 3, 2.5, 3);
    const double horizontalAxis = centreAlong(3, 0, 3, 2.5);
    ExpectNearMm(verticalAxis, 1, "frame axis across");
    ExpectNearMm(horizontalAxis, 1, "frame axis down");
    for (const double tick : {100.0, 180.0, 200.0}) {
        // The ticks stand 1 mm beyond their distance, as the axes do.
        ExpectNearMm(tick + centreAlong(tick, 3, tick + 2, 3) - verticalAxis, tick,
                     "frame tick across at " + std::to_string(static_cast<int>(tick)) + " mm");
        ExpectNearMm(tick + centreAlong(3, tick, 3, tick + 2) - horizontalAxis, tick,
                     "frame tick down at " + std::to_string(static_cast<int>(tick)) + " mm");
    }
    // An infinite distance leaves the spindle and the pivot nowhere on the page; the frame is all there is.
    if (std::isfinite(distance)) {
        const double spindle = 41.5 + centreAlong(41.5, 41, 44.5, 41);
        const double pivot = 41.5 + distance + centreAlong(41.5 + distance, 41, 44.5 + distance, 41);
        ExpectNearMm(spindle, 43, "spindle cross");
        ExpectNearMm(pivot - spindle, distance, "spindle to pivot");
    }
}

// Colours on paper: the rings' bars in the foreground colour, the disk filled with the background colour.
void MeasureColours(const Raster& page, const PageMapping& map, DWORD foreground, DWORD background) {
    const double cx = map.Column(104, 134);
    const double cy = map.Row(104, 134);
    const double radius = 81.25 * map.PixelsPerMm;
    int foregroundSamples = 0;
    int backgroundSamples = 0;
    for (int step = 0; step < 3600; ++step) {
        const double around = 2 * Pi * step / 3600;
        const DWORD colour = page.Colour(cx + radius * std::cos(around), cy - radius * std::sin(around));
        foregroundSamples += colour == foreground ? 1 : 0;
        backgroundSamples += colour == background ? 1 : 0;
    }
    std::printf("    ring samples: %d in the foreground colour, %d in the background colour\n", foregroundSamples,
                backgroundSamples);
    Expect(foregroundSamples > 1000 && backgroundSamples > 1000, "the bars and their gaps in the two colours");
    // Inside the rings the disk is filled with the background colour; only the timing mark, its text and the
    // centre cross lie on it (nine tenths of a circle 30 mm out are clear).
    const double inside = 30 * map.PixelsPerMm;
    int inBackground = 0;
    for (int step = 0; step < 360; ++step) {
        const double around = 2 * Pi * step / 360;
        inBackground += page.Colour(cx + inside * std::cos(around), cy - inside * std::sin(around)) == background;
    }
    std::printf("    %d of 360 points inside the rings in the background colour\n", inBackground);
    Expect(inBackground >= 324, "the disk's background colour");
}

// measure KIND FILE DPI MARGIN ARGUMENTS...
int Measure(int argc, wchar_t** argv) {
    if (argc < 6) {
        return 2;
    }
    const std::string kind = Narrow(argv[2]);
    Raster page;
    if (!ReadRaster(argv[3], page)) {
        std::printf("FAIL: cannot read %s\n", Narrow(argv[3]).c_str());
        return 1;
    }
    const double dpi = std::wcstod(argv[4], nullptr);
    const PageMapping map{dpi / 25.4, std::wcstod(argv[5], nullptr), true, page.Height};
    std::printf("measure %s\n", kind.c_str());
    if (kind == "strobe" && argc >= 8) {
        MeasureStrobe(page, PageMapping{map.PixelsPerMm, map.Margin, false, page.Height},
                      static_cast<int>(std::wcstol(argv[6], nullptr, 10)),
                      static_cast<int>(std::wcstol(argv[7], nullptr, 10)));
    } else if (kind == "arc" && argc >= 7) {
        MeasureArcTemplate(page, map, std::wcstod(argv[6], nullptr));
    } else if (kind == "frame") {
        MeasureArcTemplate(page, map, HUGE_VAL);
    } else if (kind == "colours" && argc >= 8) {
        MeasureColours(page, PageMapping{map.PixelsPerMm, map.Margin, false, page.Height},
                       static_cast<DWORD>(std::wcstoul(argv[6], nullptr, 16)),
                       static_cast<DWORD>(std::wcstoul(argv[7], nullptr, 16)));
    } else {
        Fail("unknown measurement");
    }
    std::printf("measure %s: %s\n", kind.c_str(), Failures.empty() ? "ok" : "FAILED");
    return Failures.empty() ? 0 : 1;
}

const std::map<std::string, std::function<void()>> Checks = {
    {"layout",
     [] {
         WithProgram([](Program& program) {
             CheckWindowFrame(program);
             CheckControls(program);
             CheckIconResource();
             CheckCaptionIcon(program);
             SaveScreenshot(program, program.Main, L"main_window");
         });
     }},
    {"tab_order", [] { WithProgram(CheckTabOrder); }},
    {"fresh_start", [] { WithProgram(CheckFreshStart); }},
    {"presets", [] { WithProgram(CheckPresets); }},
    {"help", [] { WithProgram(CheckHelpBox); }},
    {"confirmation", [] { WithProgram(CheckConfirmationBox); }},
    {"closing", [] { WithProgram(CheckClosing); }},
    {"custom_strobe", [] { WithProgram(CheckCustomStrobeDialog); }},
    {"focus", [] { WithProgram(CheckFocusAcrossActivation); }},
    {"print_60", [] { WithPrintingProgram([](Program& p) { PrintFixedStrobe(p, 1015, true); }); }},
    {"print_50", [] { WithPrintingProgram([](Program& p) { PrintFixedStrobe(p, 1016, true); }); }},
    {"print_arc", [] { WithPrintingProgram(PrintArcTemplateThroughConfirmation); }},
    {"print_custom_50", [] { WithPrintingProgram([](Program& p) { PrintCustomStrobe(p, L"180", L"133"); }); }},
    {"print_cancel_then_60",
     [] {
         WithPrintingProgram([](Program& p) {
             PrintFixedStrobe(p, 1015, false);
             PrintFixedStrobe(p, 1015, true);
         });
     }},
    {"print_confirm_cancel", [] { WithPrintingProgram(CancelArcTemplate); }},
    {"print_red_on_black",
     [] { WithPrintingProgram([](Program& p) { PrintFixedStrobe(p, 1015, true); }, L"255,0,0"); }},
    {"print_without_printer", [] { WithProgram(CheckPrintCommandsWithoutPrinter); }},
    {"bad_input_empty", [] { CheckBadInput("empty"); }},
    {"bad_input_huge_distance", [] { CheckBadInput("huge_distance"); }},
    {"bad_input_huge_radius", [] { CheckBadInput("huge_radius"); }},
    {"bad_input_swapped", [] { CheckBadInput("swapped"); }},
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"measure") {
        return Measure(argc, argv);
    }
    if (argc < 4) {
        std::printf("usage: main_window_driver PROGRAM OUTPUT_FOLDER CHECK...\n");
        return 2;
    }
    ProgramPath = argv[1];
    OutputFolder = argv[2];
    for (int index = 3; index < argc; ++index) {
        const std::string name = Narrow(argv[index]);
        const auto check = Checks.find(name);
        std::printf("check %s\n", name.c_str());
        std::fflush(stdout);
        if (check == Checks.end()) {
            Fail("no check named " + name);
            continue;
        }
        const std::size_t before = Failures.size();
        check->second();
        std::printf("check %s: %s\n", name.c_str(), Failures.size() == before ? "ok" : "FAILED");
        std::fflush(stdout);
    }
    return Failures.empty() ? 0 : 1;
}
