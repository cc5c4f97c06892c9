// Scope objects for the GDI handles that the drawing helpers use for a moment.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

namespace tarvox::ui {

// A window's device context (null: the screen's), given back when the scope ends.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_dc(WindowDcTraits::Type{window, GetDC(window)}) {}
    HDC Get() const { return m_dc.Get().dc; }

private:
    WindowDcHandle m_dc;
};

// The screen's device context, released when the scope ends.
class ScreenDc : public WindowDc {
public:
    ScreenDc() : WindowDc(nullptr) {}
};

// A memory device context compatible with another one, deleted when the scope ends.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    HDC Get() const { return m_dc.Get(); }

private:
    MemoryDcHandle m_dc;
};

// Selects an object into a device context and selects the previous one back at the end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool Selected() const { return m_previous != nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Owns a GDI object (brush, font) and deletes it at the end.
using tarvox::GdiObject;

}  // namespace tarvox::ui
