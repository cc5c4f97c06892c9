// Picking and loading the picture variant for a display scale.
#include <tarvox/ui.h>

#include "ui/layout_math.h"
#include "foundation/boundary.h"

int LoadScaledBitmap(const wchar_t* name, CGdiBitmap& bitmap, double scale) {
    return tarvox::Guard(0, [&]() -> int {
        bitmap.Delete();
        if (name == nullptr || *name == L'\0') return 0;
        HMODULE program = GetModuleHandleW(nullptr);
        for (const tarvox::ui::PictureVariant& variant :
             tarvox::ui::PictureVariantsForScale(scale)) {
            std::wstring file;
            if (!ExtractResourceToTempFile(
                    program, (std::wstring(name) + std::wstring(variant.suffix)).c_str(), file,
                    nullptr)) {
                continue;
            }
            const int loaded = LoadBitmapFromFile(file.c_str(), bitmap);
            DeleteFileW(file.c_str());
            if (loaded) {
                ScaleBitmap(bitmap, variant.factor);
                return 1;
            }
        }
        return 0;
    });
}
