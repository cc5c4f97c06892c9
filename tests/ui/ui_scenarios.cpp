// Child-process scenarios of the dialog background: a real dialog laid out at a scale, and the
// display scale that is measured once per process.
#include "tests/child/scenario.h"

#include <tarvox/ui.h>

#include "ui/dialog_layout.h"

#include <string>
#include <vector>

namespace {

using tarvox::test::ScenarioContext;

constexpr int kBackgroundId = 1000;

// A dialog template without controls: style, no menu, the standard class, no title.
struct EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu = 0, windowClass = 0, title = 0;
};

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The controls the dialog starts with, in client pixels at 100 %.
struct StartingControl {
    const wchar_t* windowClass;
    const wchar_t* text;
    int x, y, width, height;
};
constexpr StartingControl kControls[] = {
    {L"BUTTON", L"OK", 60, 40, 80, 20},       // centre 100, 50
    {L"EDIT", L"text", 200, 100, 120, 24},    // centre 260, 112
    {L"STATIC", L"label", 20, 200, 160, 16},  // centre 100, 208
};

std::string SizeText(long width, long height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// A window's place in the dialog's client area as "x,y,WxH".
std::string InDialog(HWND dialog, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           SizeText(r.right - r.left, r.bottom - r.top);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>(data.nFileSizeLow);
}

}  // namespace

// Args: dialog class name; scale ("display" for the measured one); number of controls (0-3);
// fit-to-picture flag; load-inactive flag.
// Reports the picture, the client area, the background control and each control afterwards.
TARVOX_CHILD_SCENARIO(ScaledDialog) {
    const std::wstring className = context.Arg(0);
    const double scale = context.Arg(1) == L"display" ? GetDpiScale() : std::stod(context.Arg(1));
    const int controlCount = std::stoi(context.Arg(2)), fit = std::stoi(context.Arg(3)),
              loadInactive = std::stoi(context.Arg(4));

    EmptyDialogTemplate dialogTemplate{};
    dialogTemplate.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dialogTemplate.header.cx = 200;
    dialogTemplate.header.cy = 150;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header,
                                             nullptr, DialogProc, 0);
    if (dialog == nullptr) return 1;
    // A client area of 300 x 200 to start with.
    RECT frame{0, 0, 300, 200};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);

    std::vector<HWND> controls;
    for (int i = 0; i < controlCount && i < 3; ++i) {
        const StartingControl& c = kControls[i];
        controls.push_back(CreateWindowExW(
            0, c.windowClass, c.text, WS_CHILD | WS_VISIBLE, c.x, c.y, c.width, c.height, dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), nullptr, nullptr));
    }
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBackgroundId)), nullptr, nullptr);

    CScaledBackground background;
    if (scale != GetDpiScale()) LoadScaledBitmap(L"ID_BACKGROUND", background.GetBitmap(), scale);
    background.m_FitToPicture = fit;
    if (!background.SubclassDlgItem(kBackgroundId, dialog, className.c_str())) return 1;
    const std::wstring positionFile = tarvox::ui::PositionFilePath(className);
    context.Report("file.before", FileSize(positionFile));

    if (context.Arg(1) == L"display") {
        LayoutDialogControls(background, loadInactive);
    } else {
        tarvox::ui::LayoutDialogControlsAtScale(background, loadInactive, scale);
    }

    const SIZE picture = background.GetBitmap().GetSize();
    context.Report("picture", SizeText(picture.cx, picture.cy));
    RECT client{};
    GetClientRect(dialog, &client);
    context.Report("client", SizeText(client.right, client.bottom));
    context.Report("background", InDialog(dialog, background.GetSafeHwnd()));
    for (std::size_t i = 0; i < controls.size(); ++i)
        context.Report("control" + std::to_string(i), InDialog(dialog, controls[i]));
    const SIZE inactive = background.GetInactiveBitmap().GetSize();
    context.Report("inactive", SizeText(inactive.cx, inactive.cy));
    context.Report("file.after", FileSize(positionFile));
    DestroyWindow(dialog);
    context.Report("subclass.released", background.GetSafeHwnd() == nullptr ? 1LL : 0LL);
    return 0;
}

TARVOX_CHILD_SCENARIO(DisplayScale) {
    HDC dc = GetDC(GetDesktopWindow());
    context.Report("logpixels", dc ? static_cast<long long>(GetDeviceCaps(dc, LOGPIXELSX)) : -1LL);
    if (dc) ReleaseDC(GetDesktopWindow(), dc);
    context.Report("scale.x1000", static_cast<long long>(GetDpiScale() * 1000));
    context.Report("again.x1000", static_cast<long long>(GetDpiScale() * 1000));
    return 0;
}
