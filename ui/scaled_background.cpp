// The background control: a dialog's button whose face is the background picture.
#include <tarvox/ui.h>

#include "ui/gdi_scope.h"
#include "foundation/boundary.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr UINT_PTR kSubclassId = 0x7A72;

// The brushes are plain handles in the exported class; each is deleted by handing it to an
// owner, which leaves the member empty.
void DeleteBrush(HBRUSH& brush) {
    const tarvox::GdiObject<HBRUSH> deleted(std::exchange(brush, nullptr));
}

}  // namespace

CScaledBackground::CScaledBackground() {
    tarvox::GuardVoid([&] { LoadScaledBitmap(L"ID_BACKGROUND", m_Bitmap, GetDpiScale()); });
}

CScaledBackground::~CScaledBackground() {
    UnsubclassWindow();
    DropBrushes();
}

BOOL CScaledBackground::SubclassDlgItem(UINT id, HWND dialog, const wchar_t* dialogClassName) {
    return tarvox::Guard(BOOL{FALSE}, [&]() -> BOOL {
        HWND button = dialog ? GetDlgItem(dialog, static_cast<int>(id)) : nullptr;
        if (button == nullptr || m_hWnd != nullptr) return FALSE;
        // The name is copied before anything changes: the rest cannot fail half-way.
        std::wstring className = dialogClassName ? dialogClassName : L"";
        if (!SetWindowSubclass(button, SubclassProc, kSubclassId,
                               reinterpret_cast<DWORD_PTR>(this)))
            return FALSE;
        m_hWnd = button;
        m_hDialog = dialog;
        m_DialogClassName = std::move(className);
        // The face is drawn here alone: an owner-drawn button paints nothing of its own when its
        // state changes, and the siblings on top of it are left out of its painting.
        SendMessageW(button, BM_SETSTYLE, BS_OWNERDRAW, FALSE);
        SetWindowLongPtrW(button, GWL_STYLE,
                          GetWindowLongPtrW(button, GWL_STYLE) | WS_CLIPSIBLINGS);
        SetWindowPos(button, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        InvalidateRect(button, nullptr, FALSE);
        return TRUE;
    });
}

void CScaledBackground::UnsubclassWindow() {
    if (m_hWnd == nullptr) return;
    RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
    m_hWnd = nullptr;
    m_hDialog = nullptr;
}

void CScaledBackground::ShowInactive(bool inactive) {
    if (m_ShowInactive == inactive) return;
    m_ShowInactive = inactive;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CScaledBackground::DropBrushes() noexcept {
    DeleteBrush(m_ActiveBrush);
    DeleteBrush(m_InactiveBrush);
    m_ActiveBrushSource = m_InactiveBrushSource = nullptr;
}

HBRUSH CScaledBackground::GetControlBrush(HDC dc, HWND control) {
    const bool inactive = m_ShowInactive && !m_InactiveBitmap.IsEmpty();
    const CGdiBitmap& picture = inactive ? m_InactiveBitmap : m_Bitmap;
    HBRUSH& brush = inactive ? m_InactiveBrush : m_ActiveBrush;
    HBITMAP& source = inactive ? m_InactiveBrushSource : m_ActiveBrushSource;
    if (picture.IsEmpty()) return nullptr;
    // The picture may have been replaced since the brush was made.
    if (brush == nullptr || source != picture.Get()) {
        DeleteBrush(brush);
        brush = CreatePatternBrush(picture.Get());
        source = brush ? picture.Get() : nullptr;
    }
    if (brush == nullptr) return nullptr;
    if (dc != nullptr) {
        // The pattern starts at the background's top-left corner, seen from the control.
        POINT origin{0, 0};
        if (m_hWnd && control) MapWindowPoints(m_hWnd, control, &origin, 1);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
        SetBkMode(dc, TRANSPARENT);
    }
    return brush;
}

void CScaledBackground::Paint(HDC dc) {
    RECT area{};
    GetClientRect(m_hWnd, &area);
    const CGdiBitmap& picture =
        m_ShowInactive && !m_InactiveBitmap.IsEmpty() ? m_InactiveBitmap : m_Bitmap;
    const SIZE size = picture.GetSize();
    if (size.cx > 0) {
        const tarvox::ui::MemoryDc memory(dc);
        const tarvox::ui::Selection selected(memory.Get(), picture.Get());
        if (selected.Selected()) BitBlt(dc, 0, 0, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
    }
    // Whatever the picture does not cover is painted in the dialog's colour.
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    if (size.cx < area.right) {
        RECT right{size.cx, 0, area.right, area.bottom};
        FillRect(dc, &right, face);
    }
    if (size.cy < area.bottom) {
        RECT below{0, size.cy, size.cx < area.right ? size.cx : area.right, area.bottom};
        FillRect(dc, &below, face);
    }
}

LRESULT CALLBACK CScaledBackground::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<CScaledBackground*>(data);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            if (dc) self->Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT: self->Paint(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_NCDESTROY: {
            self->m_hWnd = nullptr;
            self->m_hDialog = nullptr;
            RemoveWindowSubclass(window, SubclassProc, kSubclassId);
            return DefSubclassProc(window, message, wParam, lParam);
        }
        default: return DefSubclassProc(window, message, wParam, lParam);
    }
}

CMyScaledBackground::CMyScaledBackground(const wchar_t* pictureName) {
    tarvox::GuardVoid([&] {
        m_FitToPicture = 1;
        CGdiBitmap picture;
        if (LoadScaledBitmap(pictureName, picture, GetDpiScale())) GetBitmap() = std::move(picture);
    });
}
