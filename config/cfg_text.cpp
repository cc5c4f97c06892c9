#include "config/cfg_text.h"

#include "foundation/text_compare.h"

#include <algorithm>

namespace tarvox {
namespace {

bool IsTrimmed(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }

}  // namespace

std::wstring_view TrimCfg(std::wstring_view text) {
    while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::wstring> SplitCfgLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\r')) + 1);
    std::size_t start = 0;
    while (true) {
        const std::size_t cr = text.find(L'\r', start);
        if (cr == std::wstring_view::npos) {
            if (start < text.size()) lines.emplace_back(TrimCfg(text.substr(start)));
            break;
        }
        lines.emplace_back(TrimCfg(text.substr(start, cr - start)));
        start = cr + 2;
        if (start >= text.size()) break;
    }
    return lines;
}

std::vector<std::wstring> CfgFileLines(std::wstring& text, AnsiByteDecoder ansiByte) {
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    NormalizeRegedit(text, ansiByte);
    return SplitCfgLines(text);
}

std::wstring ComposeCfgText(const std::vector<std::wstring>& lines) {
    std::wstring text;
    ComposeCfgTextInto(lines, text);
    return text;
}

void ComposeCfgTextInto(const std::vector<std::wstring>& lines, std::wstring& text) {
    text.clear();
    std::size_t first = 0;
    std::size_t last = lines.size();
    while (first < last && lines[first].empty()) ++first;
    while (last > first && lines[last - 1].empty()) --last;
    std::size_t size = 0;
    for (std::size_t i = first; i < last; ++i) size += lines[i].size() + 2;
    text.reserve(size);
    for (std::size_t i = first; i < last; ++i) {
        if (lines[i].empty() && lines[i - 1].empty()) continue;
        text += lines[i];
        text += L"\r\n";
    }
}

CfgLineKind ClassifyCfgLine(std::wstring_view line) {
    if (line.empty()) return CfgLineKind::Empty;
    if (line.front() == L'[') return CfgLineKind::Header;
    if (line.front() == L';' || line.front() == L'/' || line.front() == L':') {
        return CfgLineKind::Comment;
    }
    return CfgLineKind::Other;
}

CfgHeader NormalizeCfgHeader(std::wstring_view line) {
    CfgHeader header;
    const std::wstring_view body = line.substr(1);
    const std::size_t close = body.find(L']');
    const std::wstring_view raw = close == std::wstring_view::npos ? body : body.substr(0, close);
    const std::wstring_view name = TrimCfg(raw);
    header.name = std::wstring(name);
    if (close == std::wstring_view::npos) {
        header.line = L"[" + header.name + L"]";
    } else if (name.size() != raw.size()) {
        header.line = L"[" + header.name + std::wstring(body.substr(close));
    } else {
        header.line = std::wstring(line);
    }
    return header;
}

bool SplitCfgEntryView(std::wstring_view line, std::wstring_view& name, std::wstring_view& value) {
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return false;
    name = TrimCfg(line.substr(0, equals));
    value = TrimCfg(line.substr(equals + 1));
    return true;
}

bool SplitCfgEntry(std::wstring_view line, std::wstring& name, std::wstring& value) {
    std::wstring_view nameView;
    std::wstring_view valueView;
    if (!SplitCfgEntryView(line, nameView, valueView)) return false;
    name = std::wstring(nameView);
    value = std::wstring(valueView);
    return true;
}

std::wstring ListEntryName(long long number) {
    std::wstring digits = std::to_wstring(number);
    if (number >= 0 && digits.size() < 5) digits.insert(0, 5 - digits.size(), L'0');
    return digits;
}

bool IsListModeSwitch(std::wstring_view name, std::wstring_view value) {
    return EqualsIgnoringAsciiCase(name, L"SimpleList") &&
           (EqualsIgnoringAsciiCase(value, L"True") || value == L"1");
}

bool ReadCfgEntryLine(std::wstring& line, CfgListMode& list, std::wstring& name,
                      std::wstring_view& value, std::wstring& room) {
    std::wstring_view nameView;
    if (!SplitCfgEntryView(line, nameView, value)) {
        if (!list.on) return false;
        name = ListEntryName(list.number);
        room = std::wstring(TrimCfg(line));
        line = name + L"=" + room;
        value = room;
        return true;
    }
    name = std::wstring(nameView);
    if (IsListModeSwitch(nameView, value)) {
        list.on = true;
        list.number = 0;
        line = name + L"=0";
        value = L"0";
    }
    return true;
}

}  // namespace tarvox
