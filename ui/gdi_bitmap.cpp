// The owner of one GDI bitmap.
#include <tarvox/ui.h>

#include "foundation/unique_handle.h"

#include <utility>

CGdiBitmap::~CGdiBitmap() { Delete(); }

CGdiBitmap::CGdiBitmap(CGdiBitmap&& other) noexcept
    : m_hBitmap(std::exchange(other.m_hBitmap, nullptr)) {}

CGdiBitmap& CGdiBitmap::operator=(CGdiBitmap&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
}

void CGdiBitmap::Attach(HBITMAP bitmap) noexcept {
    if (bitmap == m_hBitmap) return;
    Delete();
    m_hBitmap = bitmap;
}

HBITMAP CGdiBitmap::Detach() noexcept { return std::exchange(m_hBitmap, nullptr); }

void CGdiBitmap::Delete() noexcept {
    // Handed to an owner that deletes it as the scope ends.
    const tarvox::GdiObject<HBITMAP> deleted(std::exchange(m_hBitmap, nullptr));
}

SIZE CGdiBitmap::GetSize() const {
    BITMAP info{};
    if (m_hBitmap == nullptr || GetObjectW(m_hBitmap, sizeof(info), &info) != sizeof(info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}
