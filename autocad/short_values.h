// Reading AutoCAD's registry values the way the library's fixed buffers hold them.
#pragma once

#include <tarvox/registry.h>

#include "foundation/folder_value.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvox::autocad {

// String values are read into buffers of 260 characters: a longer value counts as missing.
inline constexpr std::size_t kAcadValueChars = 260;
using tarvox::GetShortRegValue;
using tarvox::ReadShortValue;

// The part of a key path after its last backslash (the whole path when it has none).
inline std::wstring LastKeyComponent(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The part of a key path after its second backslash: for a product or profile key, the family
// ("AutoCAD" or "AutoCAD LT") onwards. None when the path has fewer than two backslashes.
inline std::optional<std::wstring_view> AfterSecondBackslash(std::wstring_view path) {
    std::size_t pos = 0;
    for (int slash = 0; slash < 2; ++slash) {
        pos = path.find(L'\\', pos);
        if (pos == std::wstring_view::npos) return std::nullopt;
        ++pos;
    }
    return path.substr(pos);
}

}  // namespace tarvox::autocad
