// Rendering multi-line text into a bitmap.
#include <tarvox/ui.h>

#include "ui/gdi_scope.h"
#include "ui/layout_math.h"
#include "foundation/boundary.h"

#include <algorithm>

using tarvox::ui::GdiObject;
using tarvox::ui::MemoryDc;
using tarvox::ui::ScreenDc;
using tarvox::ui::Selection;

namespace {

SIZE Extent(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
        return {0, 0};
    return size;
}

}  // namespace

int RenderTextBitmap(const wchar_t* text, COLORREF backgroundColour, COLORREF textColour,
                     const wchar_t* faceName, int fontHeight, int margin, CGdiBitmap& bitmap) {
    return tarvox::Guard(0, [&]() -> int {
        ScreenDc screen;
        MemoryDc memory(screen.Get());
        if (memory.Get() == nullptr) return 0;
        LOGFONTW description{};
        description.lfHeight = fontHeight;
        description.lfWeight = FW_NORMAL;
        description.lfCharSet = DEFAULT_CHARSET;
        if (faceName) lstrcpynW(description.lfFaceName, faceName, LF_FACESIZE);
        GdiObject<HFONT> font(CreateFontIndirectW(&description));
        if (font.Get() == nullptr) return 0;
        Selection fontSelected(memory.Get(), font.Get());

        const SIZE xxxx = Extent(memory.Get(), L"XXXX");
        const SIZE tenBlanks = Extent(memory.Get(), L"          ");
        const int blanks = tarvox::ui::TabBlankCount(xxxx.cx, tenBlanks.cx);
        const int advance = tarvox::ui::LineAdvance(xxxx.cy);
        const std::vector<std::wstring> lines =
            tarvox::ui::TextLinesForRendering(text ? text : L"", blanks);

        if (bitmap.IsEmpty()) {
            int width = 0;
            for (const std::wstring& line : lines)
                width = std::max<int>(width, Extent(memory.Get(), line).cx);
            const int height = advance * static_cast<int>(lines.size());
            CreateFilledBitmap(backgroundColour, bitmap, width + 2 * margin, height + 2 * margin);
            if (bitmap.IsEmpty()) return 0;
        }

        Selection bitmapSelected(memory.Get(), bitmap.Get());
        if (!bitmapSelected.Selected()) return 0;
        SetBkMode(memory.Get(), TRANSPARENT);
        SetTextColor(memory.Get(), textColour);
        int y = margin;
        for (const std::wstring& line : lines) {
            TextOutW(memory.Get(), margin, y, line.c_str(), static_cast<int>(line.size()));
            y += advance;
        }
        return 1;
    });
}
