// tarvox_ui_demo [--screenshot FILE.png]
//
// Opens a dialog on a background picture at the display scale the system reports
// (HKEY_CURRENT_USER\Control Panel\Desktop\LogPixels under Wine). With --screenshot the
// dialog's client area is saved as a PNG file once it is drawn, and the program ends.
#include <tarvox/ui.h>

#include "tools/ui-demo/demo_ids.h"
#include "ui/gdi_scope.h"
#include "ui/gdiplus_session.h"

#include <gdiplus.h>

#include <cstdio>
#include <string>

namespace {

struct Demo {
    CScaledBackground background;
    CGdiBitmap title;
    std::wstring screenshot;
    int result = 0;
};

Demo* g_demo = nullptr;

// Saves the client area of a window as it is on the screen to a PNG file.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT area{};
    GetClientRect(window, &area);
    const int width = area.right;
    const int height = area.bottom;
    CGdiBitmap picture;
    {
        const tarvox::ui::WindowDc windowDc(window);
        if (windowDc.Get() == nullptr) return false;
        const tarvox::ui::MemoryDc memory(windowDc.Get());
        picture.Attach(CreateCompatibleBitmap(windowDc.Get(), width, height));
        const tarvox::ui::Selection selected(memory.Get(), picture.Get());
        BitBlt(memory.Get(), 0, 0, width, height, windowDc.Get(), 0, 0, SRCCOPY);
    }

    if (!tarvox::ui::GdiplusStarted()) return false;
    tarvox::ui::GdiplusBitmap image;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(picture.Get(), nullptr, image.Put()) !=
        Gdiplus::Ok) {
        return false;
    }
    // The PNG encoder of GDI+.
    const CLSID png{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    return Gdiplus::DllExports::GdipSaveImageToFile(image.Get(), path.c_str(), &png, nullptr) ==
           Gdiplus::Ok;
}

// Lets the dialog and its controls paint, then saves it.
void TakeScreenshot(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG message;
    for (int round = 0; round < 20; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        Sleep(50);
    }
    g_demo->result = SaveWindowPicture(dialog, g_demo->screenshot) ? 0 : 1;
    std::fwprintf(stderr, L"%ls %ls\n", g_demo->result == 0 ? L"saved" : L"could not save",
                  g_demo->screenshot.c_str());
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Demo& demo = *g_demo;
    switch (message) {
        case WM_INITDIALOG: {
            const double scale = GetDpiScale();
            const int fontHeight = -static_cast<int>(18 * scale);
            RenderTextBitmap(L"Tarvo Ardent\tSettings", RGB(30, 70, 150), RGB(255, 255, 255),
                             L"Tahoma", fontHeight, static_cast<int>(2 * scale), demo.title);
            SendDlgItemMessageW(dialog, IDC_TITLE, STM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(demo.title.Get()));
            wchar_t text[64];
            swprintf(text, 64, L"Display scale %d %%", static_cast<int>(scale * 100 + 0.5));
            SetDlgItemTextW(dialog, IDC_SCALE, text);
            SetDlgItemTextW(dialog, IDC_NAME, L"Drawing 1");
            demo.background.SubclassDlgItem(IDC_BACKGROUND, dialog, L"CDemoDialog");
            LayoutDialogControls(demo.background, 1);
            return TRUE;
        }
        case WM_ACTIVATE: demo.background.ShowInactive(LOWORD(wParam) == WA_INACTIVE); return FALSE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HWND control = reinterpret_cast<HWND>(lParam);
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (GetDlgCtrlID(control) == IDC_NAME) return FALSE;  // a read-only edit asks too
            SetTextColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(demo.background.GetControlBrush(dc, control));
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(dialog);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY: PostQuitMessage(0); return FALSE;
        default: return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // Without this the system reports 96 pixels per inch to the program whatever the display.
    SetProcessDPIAware();
    Demo demo;
    g_demo = &demo;
    for (int i = 1; i < __argc; ++i) {
        if (std::wstring(__wargv[i]) == L"--screenshot" && i + 1 < __argc)
            demo.screenshot = __wargv[++i];
    }

    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_DEMO), nullptr, DialogProc, 0);
    if (dialog == nullptr) return 2;
    ShowWindow(dialog, demo.screenshot.empty() ? show : SW_SHOWNORMAL);
    UpdateWindow(dialog);
    if (!demo.screenshot.empty()) {
        TakeScreenshot(dialog);
        DestroyWindow(dialog);
        return demo.result;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
