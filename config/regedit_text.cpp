#include "config/regedit_text.h"

#include "foundation/text_compare.h"

#include <string_view>
#include <vector>

namespace tarvox {
namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::vector<std::wstring> KeptLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\r', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view line = text.substr(start, end - start);
        while (!line.empty() && (line.front() == L' ' || line.front() == L'\r' ||
                                 line.front() == L'\n' || line.front() == L'\t')) {
            line.remove_prefix(1);
        }
        while (!line.empty() &&
               (line.back() == L' ' || line.back() == L'\n' || line.back() == L'\t')) {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.front() != L';') lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::wstring> JoinContinuations(const std::vector<std::wstring>& lines) {
    std::vector<std::wstring> joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::wstring line = lines[i];
        while (!line.empty() && line.back() == L'\\') {
            line.pop_back();
            if (i + 1 >= lines.size()) break;
            line += lines[++i];
        }
        joined.push_back(std::move(line));
    }
    return joined;
}

void DecodeExpandString(std::wstring& line, AnsiByteDecoder decode) {
    if (line.empty() || line.front() != L'"') return;
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) return;
    const std::wstring_view value = std::wstring_view(line).substr(equals + 1);
    static constexpr std::wstring_view kMarker = L"hex(2):";
    if (!StartsWithIgnoringAsciiCase(value, kMarker)) return;

    std::wstring decoded;
    std::size_t at = kMarker.size();
    while (value.size() - at >= 2) {
        const int high = HexDigit(value[at]);
        const int low = HexDigit(value[at + 1]);
        if (high < 0 || low < 0) break;
        const auto byte = static_cast<unsigned char>(high * 16 + low);
        if (byte == 0) break;
        const wchar_t c = decode(byte);
        if (c == L'\\') decoded += L'\\';
        decoded += c;
        at += 3;
        if (at > value.size()) break;
    }
    line = line.substr(0, equals + 1) + L"SZ_EX:\"" + decoded + L"\"";
}

}  // namespace

bool NormalizeRegedit(std::wstring& text, AnsiByteDecoder decode) {
    if (!StartsWithIgnoringAsciiCase(text, L"REGEDIT4")) return false;
    std::vector<std::wstring> lines = JoinContinuations(KeptLines(text));
    std::wstring result;
    for (std::wstring& line : lines) {
        DecodeExpandString(line, decode);
        result += line;
        result += L"\r\n";
    }
    text = std::move(result);
    return true;
}

}  // namespace tarvox
