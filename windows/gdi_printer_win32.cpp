#include "windows/gdi_printer_win32.h"

#include "windows/system_text_win32.h"

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

namespace {

// Every GDI request whose failure matters is judged here. A rejected request is never shown to the
// user (the printout simply goes on); a debugger still sees it.
bool GdiSucceeded(bool ok) {
    if (!ok) {
        OutputDebugStringW(L"Quillmere: the printer rejected a drawing request\n");
    }
    return ok;
}

// Selects a GDI object into the device context for one request and puts the previous one back;
// an object made for the request is deleted afterwards, a stock object never.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object, bool owned) : Dc(dc), Object(object), Owned(owned) {
        if (Object != nullptr) {
            Previous = SelectObject(Dc, Object);
        }
    }
    ~SelectedObject() {
        if (Previous != nullptr && Previous != HGDI_ERROR) {
            SelectObject(Dc, Previous);
        }
        if (Owned && Object != nullptr) {
            DeleteObject(Object);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    bool Ready() const { return Object != nullptr && Previous != nullptr && Previous != HGDI_ERROR; }

private:
    HDC Dc;
    HGDIOBJ Object;
    bool Owned;
    HGDIOBJ Previous = nullptr;
};

COLORREF ToColorRef(DeviceColour colour) {
    return static_cast<COLORREF>(colour & 0xFFFFFFu);
}

HPEN MakePen(DeviceColour colour, int penWidth) {
    return CreatePen(PS_SOLID, penWidth < 0 ? 0 : penWidth, ToColorRef(colour));
}

// Six hatch patterns in the platform's own numbering (HS_HORIZONTAL .. HS_DIAGCROSS).
constexpr int LastHatchStyle = HS_DIAGCROSS;

struct FillBrush {
    HGDIOBJ Brush;
    bool Owned;
};

FillBrush MakeBrush(const DeviceFill& fill) {
    if (!fill.Filled) {
        return {GetStockObject(NULL_BRUSH), false};
    }
    if (fill.Hatched && fill.HatchStyle >= 0 && fill.HatchStyle <= LastHatchStyle) {
        return {CreateHatchBrush(fill.HatchStyle, ToColorRef(fill.Colour)), true};
    }
    return {CreateSolidBrush(ToColorRef(fill.Colour)), true};
}

// A printer device context with the device mode and names the print dialog returned; it owns all three.
class GdiDevice : public PrintDevice {
public:
    GdiDevice(HDC dc, HGLOBAL devMode, HGLOBAL devNames) : Dc(dc), DevMode(devMode), DevNames(devNames) {}
    ~GdiDevice() override;
    GdiDevice(const GdiDevice&) = delete;
    GdiDevice& operator=(const GdiDevice&) = delete;

    Outcome StartDocument(std::string_view name) override;
    void StartPage(int orientation) override;
    void EndPage() override;
    void EndDocument() override;
    DevicePoint Resolution() override;
    DevicePoint PrintableSize() override;
    DeviceFontHandle MakeFont(const DeviceFontRequest& request) override;
    DeviceFontMetrics FontMetrics(DeviceFontHandle font) override;
    void ReleaseFont(DeviceFontHandle font) override;
    void Line(DevicePoint from, DevicePoint to, DeviceColour colour, int penWidth) override;
    void Box(DeviceRect box, BoxShape shape, DevicePoint cornerSize, DeviceColour lineColour, const DeviceFill& fill,
             int penWidth) override;
    void Arc(DeviceRect box, DevicePoint start, DevicePoint end, bool pie, DeviceColour lineColour,
             const DeviceFill& fill, int penWidth) override;
    int Text(DevicePoint at, std::string_view text, DeviceFontHandle font, DeviceColour colour, bool opaque,
             DeviceColour background, DeviceRect clip) override;

private:
    void ApplyOrientation(int orientation);
    HFONT FontOf(DeviceFontHandle font) const;

    HDC Dc;
    HGLOBAL DevMode;
    HGLOBAL DevNames;
    bool DocumentOpen = false;
    bool PageOpen = false;
    std::vector<HFONT> Fonts; // handle n is Fonts[n - 1]; a released font leaves a null entry
};

GdiDevice::~GdiDevice() {
    // A job torn down halfway must not leave a half-written document in the spooler.
    if (PageOpen) {
        ::EndPage(Dc);
    }
    if (DocumentOpen) {
        AbortDoc(Dc);
    }
    for (HFONT font : Fonts) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    DeleteDC(Dc);
    if (DevMode != nullptr) {
        GlobalFree(DevMode);
    }
    if (DevNames != nullptr) {
        GlobalFree(DevNames);
    }
}

Outcome GdiDevice::StartDocument(std::string_view name) {
    const std::wstring documentName = SystemTextToWide(name);
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = documentName.c_str();
    DocumentOpen = GdiSucceeded(StartDocW(Dc, &document) > 0);
    if (!DocumentOpen) {
        return Failure{"the printer did not start the document"};
    }
    return Done{};
}

// The orientation lives in the printer's device mode; resetting the context with it is the only way
// to turn the page, and it is allowed only between pages.
void GdiDevice::ApplyOrientation(int orientation) {
    if (DevMode == nullptr) {
        return;
    }
    auto* mode = static_cast<DEVMODEW*>(GlobalLock(DevMode));
    if (mode == nullptr) {
        return;
    }
    mode->dmFields |= DM_ORIENTATION;
    mode->dmOrientation =
        static_cast<short>(orientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    GdiSucceeded(ResetDCW(Dc, mode) != nullptr);
    GlobalUnlock(DevMode);
}

void GdiDevice::StartPage(int orientation) {
    ApplyOrientation(orientation);
    PageOpen = GdiSucceeded(::StartPage(Dc) > 0);
    GdiSucceeded(SetTextAlign(Dc, TA_UPDATECP | TA_TOP | TA_LEFT) != GDI_ERROR);
    GdiSucceeded(SetArcDirection(Dc, AD_COUNTERCLOCKWISE) != 0);
}

void GdiDevice::EndPage() {
    if (PageOpen) {
        GdiSucceeded(::EndPage(Dc) > 0);
        PageOpen = false;
    }
}

void GdiDevice::EndDocument() {
    if (DocumentOpen) {
        GdiSucceeded(EndDoc(Dc) > 0);
        DocumentOpen = false;
    }
}

DevicePoint GdiDevice::Resolution() {
    return {GetDeviceCaps(Dc, LOGPIXELSX), GetDeviceCaps(Dc, LOGPIXELSY)};
}

DevicePoint GdiDevice::PrintableSize() {
    return {GetDeviceCaps(Dc, HORZRES), GetDeviceCaps(Dc, VERTRES)};
}

DeviceFontHandle GdiDevice::MakeFont(const DeviceFontRequest& request) {
    const std::wstring face = SystemTextToWide(request.Face);
    HFONT font = CreateFontW(request.Height, 0, 0, 0, request.Weight, request.Italic, request.Underline,
                             request.StrikeOut, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!GdiSucceeded(font != nullptr)) {
        return 0;
    }
    Fonts.push_back(font);
    return static_cast<DeviceFontHandle>(Fonts.size());
}

HFONT GdiDevice::FontOf(DeviceFontHandle font) const {
    if (font < 1 || static_cast<std::size_t>(font) > Fonts.size()) {
        return nullptr;
    }
    return Fonts[static_cast<std::size_t>(font) - 1];
}

DeviceFontMetrics GdiDevice::FontMetrics(DeviceFontHandle font) {
    SelectedObject selected(Dc, FontOf(font), false);
    TEXTMETRICW metrics{};
    if (!selected.Ready() || !GdiSucceeded(GetTextMetricsW(Dc, &metrics) != 0)) {
        return {0, 0};
    }
    return {metrics.tmHeight, metrics.tmExternalLeading};
}

void GdiDevice::ReleaseFont(DeviceFontHandle font) {
    HFONT object = FontOf(font);
    if (object != nullptr) {
        DeleteObject(object);
        Fonts[static_cast<std::size_t>(font) - 1] = nullptr;
    }
}

void GdiDevice::Line(DevicePoint from, DevicePoint to, DeviceColour colour, int penWidth) {
    SelectedObject pen(Dc, MakePen(colour, penWidth), true);
    if (!GdiSucceeded(pen.Ready())) {
        return;
    }
    GdiSucceeded(MoveToEx(Dc, from.X, from.Y, nullptr) != 0);
    GdiSucceeded(LineTo(Dc, to.X, to.Y) != 0);
}

void GdiDevice::Box(DeviceRect box, BoxShape shape, DevicePoint cornerSize, DeviceColour lineColour,
                    const DeviceFill& fill, int penWidth) {
    SelectedObject pen(Dc, MakePen(lineColour, penWidth), true);
    const FillBrush brush = MakeBrush(fill);
    SelectedObject selectedBrush(Dc, brush.Brush, brush.Owned);
    if (!GdiSucceeded(pen.Ready() && selectedBrush.Ready())) {
        return;
    }
    // Hatch gaps show what lies underneath rather than the text background.
    SetBkMode(Dc, TRANSPARENT);
    switch (shape) {
    case BoxShape::Square:
        GdiSucceeded(Rectangle(Dc, box.Left, box.Top, box.Right, box.Bottom) != 0);
        break;
    case BoxShape::Rounded:
        GdiSucceeded(RoundRect(Dc, box.Left, box.Top, box.Right, box.Bottom, cornerSize.X, cornerSize.Y) != 0);
        break;
    case BoxShape::Ellipse:
        GdiSucceeded(Ellipse(Dc, box.Left, box.Top, box.Right, box.Bottom) != 0);
        break;
    }
}

void GdiDevice::Arc(DeviceRect box, DevicePoint start, DevicePoint end, bool pie, DeviceColour lineColour,
                    const DeviceFill& fill, int penWidth) {
    // A flat box has no arc to draw (a correction factor of 0 makes every box flat); Wine's PostScript driver
    // would write its angles as "nan", and the printer would refuse the whole page.
    if (box.Left == box.Right || box.Top == box.Bottom) {
        return;
    }
    SelectedObject pen(Dc, MakePen(lineColour, penWidth), true);
    const FillBrush brush = MakeBrush(pie ? fill : DeviceFill{false, 0, false, 0});
    SelectedObject selectedBrush(Dc, brush.Brush, brush.Owned);
    if (!GdiSucceeded(pen.Ready() && selectedBrush.Ready())) {
        return;
    }
    SetBkMode(Dc, TRANSPARENT);
    if (pie) {
        GdiSucceeded(Pie(Dc, box.Left, box.Top, box.Right, box.Bottom, start.X, start.Y, end.X, end.Y) != 0);
    } else {
        GdiSucceeded(::Arc(Dc, box.Left, box.Top, box.Right, box.Bottom, start.X, start.Y, end.X, end.Y) != 0);
    }
}

// The background is painted behind the glyphs only (the text cell), not across the whole clipping
// band: a label must not wipe out the drawing to its right.
int GdiDevice::Text(DevicePoint at, std::string_view text, DeviceFontHandle font, DeviceColour colour, bool opaque,
                    DeviceColour background, DeviceRect clip) {
    SelectedObject selected(Dc, FontOf(font), false);
    SetTextColor(Dc, ToColorRef(colour));
    SetBkColor(Dc, ToColorRef(background));
    SetBkMode(Dc, opaque ? OPAQUE : TRANSPARENT);
    GdiSucceeded(MoveToEx(Dc, at.X, at.Y, nullptr) != 0);
    const std::wstring wide = SystemTextToWide(text);
    const RECT clipRect{clip.Left, clip.Top, clip.Right, clip.Bottom};
    // With TA_UPDATECP the text starts at the current position and moves it by the full advance,
    // clipped or not; the coordinates passed here are ignored.
    if (!GdiSucceeded(ExtTextOutW(Dc, 0, 0, ETO_CLIPPED, &clipRect, wide.c_str(), static_cast<UINT>(wide.size()),
                                  nullptr) != 0)) {
        return 0;
    }
    POINT position{};
    if (!GdiSucceeded(GetCurrentPositionEx(Dc, &position) != 0)) {
        return 0;
    }
    return position.x - at.X;
}

// Brings the print dialog in front when it opens: the program may have been started behind another window.
UINT_PTR CALLBACK BringDialogToForeground(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetForegroundWindow(dialog);
        return TRUE;
    }
    return 0;
}

std::string PrinterNameOf(HGLOBAL devNames) {
    if (devNames == nullptr) {
        return {};
    }
    const auto* names = static_cast<const DEVNAMES*>(GlobalLock(devNames));
    if (names == nullptr) {
        return {};
    }
    // The offsets count characters from the start of the block.
    const auto* base = reinterpret_cast<const wchar_t*>(names);
    std::string name = WideToSystemText(base + names->wDeviceOffset);
    GlobalUnlock(devNames);
    return name;
}

void FreeDialogResults(PRINTDLGW& dialog) {
    if (dialog.hDC != nullptr) {
        DeleteDC(dialog.hDC);
    }
    if (dialog.hDevMode != nullptr) {
        GlobalFree(dialog.hDevMode);
    }
    if (dialog.hDevNames != nullptr) {
        GlobalFree(dialog.hDevNames);
    }
}

} // namespace

GdiPrinterChooser::GdiPrinterChooser(void* ownerWindow) : OwnerWindow(ownerWindow) {}

PrinterChoice GdiPrinterChooser::ChoosePrinter() {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(OwnerWindow);
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_ENABLEPRINTHOOK;
    dialog.lpfnPrintHook = BringDialogToForeground;

    PrinterChoice choice;
    if (!PrintDlgW(&dialog)) {
        // FALSE with no extended error is the user's Cancel; anything else is a failure.
        choice.Result = CommDlgExtendedError() == 0 ? PrinterChoiceResult::Cancelled : PrinterChoiceResult::Failed;
        FreeDialogResults(dialog);
        return choice;
    }
    if (dialog.hDC == nullptr) {
        choice.Result = PrinterChoiceResult::Failed;
        FreeDialogResults(dialog);
        return choice;
    }
    choice.Result = PrinterChoiceResult::Chosen;
    choice.PrinterName = PrinterNameOf(dialog.hDevNames);
    choice.Device = std::make_unique<GdiDevice>(dialog.hDC, dialog.hDevMode, dialog.hDevNames);
    return choice;
}
