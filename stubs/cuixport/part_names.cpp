#include "stubs/cuixport/part_names.h"

#include "stubs/cuixport/zip_directory.h"

#include <cstdint>

namespace cuixport {

namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr char16_t kCodePage437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x2229, 0x2208, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x25A0, 0x00A0,
};

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void AppendWide(std::wstring& out, std::uint32_t codePoint) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
            out += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(codePoint);
}

// The code point of the UTF-8 sequence at text[at]; advances at. Nothing when invalid
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::optional<std::uint32_t> DecodeUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    at += length;
    return value;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (!DecodeUtf8(text, at)) return false;
    }
    return true;
}

std::string ItemNameToUtf8(std::span<const unsigned char> bytes, bool markedUtf8) {
    std::string raw(bytes.begin(), bytes.end());
    if (markedUtf8 || IsValidUtf8(raw)) return raw;
    std::string converted;
    for (const unsigned char c : bytes) {
        AppendUtf8(converted, c < 0x80 ? c : kCodePage437High[c - 0x80]);
    }
    return converted;
}

std::optional<std::string> WideToUtf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t unit = static_cast<std::uint32_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            const auto next = static_cast<std::uint32_t>(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((unit >= 0xD800 && unit <= 0xDFFF) || unit > 0x10FFFF) return std::nullopt;
        AppendUtf8(out, unit);
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring out;
    for (std::size_t at = 0; at < text.size();) {
        if (const auto codePoint = DecodeUtf8(text, at)) {
            AppendWide(out, *codePoint);
        } else {
            AppendWide(out, 0xFFFD);
            ++at;
        }
    }
    return out;
}

std::string ComparablePartName(std::string_view utf8Name) {
    std::string out;
    out.reserve(utf8Name.size());
    for (std::size_t i = 0; i < utf8Name.size(); ++i) {
        char c = utf8Name[i];
        if (c == '%' && i + 2 < utf8Name.size() && HexValue(utf8Name[i + 1]) >= 0 &&
            HexValue(utf8Name[i + 2]) >= 0) {
            c = static_cast<char>(HexValue(utf8Name[i + 1]) * 16 + HexValue(utf8Name[i + 2]));
            i += 2;
        } else if (c == '\\') {
            c = '/';
        }
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        out += c;
    }
    if (!out.empty() && out.front() == '/') out.erase(0, 1);
    return out;
}

std::optional<std::size_t> FindPart(std::span<const ZipEntry> entries, std::wstring_view partName) {
    const auto utf8 = WideToUtf8(partName);
    if (!utf8) return std::nullopt;
    const std::string wanted = ComparablePartName(*utf8);
    if (wanted.empty() || wanted.back() == '/') return std::nullopt;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (ComparablePartName(entries[i].name) == wanted) return i;
    }
    return std::nullopt;
}

std::wstring PartFileName(std::wstring_view partName, std::size_t maxChars) {
    const std::size_t cut = partName.find_last_of(L"/\\:");
    std::wstring name(cut == std::wstring_view::npos ? partName : partName.substr(cut + 1));
    for (wchar_t& c : name) {
        if (c < 0x20 || std::wstring_view(L"<>\"|?*").find(c) != std::wstring_view::npos) c = L'_';
    }
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    if (name.find_first_not_of(L'.') == std::wstring::npos) name.clear();
    if (maxChars < 8) maxChars = 8;
    if (name.size() > maxChars) {
        const std::size_t dot = name.rfind(L'.');
        const std::size_t extension =
            dot != std::wstring::npos && name.size() - dot <= maxChars / 2 ? name.size() - dot : 0;
        name = name.substr(0, maxChars - extension) + name.substr(name.size() - extension);
    }
    // Reserved device names open the device, not a file.
    static constexpr std::wstring_view kDevices[] = {L"con", L"prn", L"aux",
                                                     L"nul", L"com", L"lpt"};
    const std::wstring_view stem = std::wstring_view(name).substr(0, name.find(L'.'));
    for (const auto device : kDevices) {
        const bool numbered = device == L"com" || device == L"lpt";
        if (stem.size() != device.size() + (numbered ? 1 : 0)) continue;
        bool same = true;
        for (std::size_t i = 0; i < device.size(); ++i) {
            const wchar_t c = stem[i] >= L'A' && stem[i] <= L'Z'
                                  ? static_cast<wchar_t>(stem[i] - L'A' + L'a')
                                  : stem[i];
            same = same && c == device[i];
        }
        if (same && (!numbered || (stem.back() >= L'0' && stem.back() <= L'9')))
            name.insert(0, L"_");
    }
    return name.empty() ? std::wstring(L"part") : name;
}

}  // namespace cuixport
