#include "paths/full_expansion.h"

#include "foundation/text_compare.h"

namespace tarvox {

namespace {

// A row's name at the start of the text; an empty name matches nothing.
bool NameStarts(std::wstring_view text, std::wstring_view name) {
    return !name.empty() && StartsWithIgnoringCaseByCharacter(text, name);
}

}  // namespace

std::wstring ExpandWithRows(std::wstring_view text, const std::vector<std::wstring>& names,
                            const std::vector<std::wstring>& values,
                            std::wstring_view programFolder) {
    std::wstring input;
    if (text.size() >= 2 && text[0] == L'.' && text[1] == L'\\') {
        input.assign(programFolder);
        input.append(text.substr(1));
    } else {
        input.assign(text);
    }
    if (input.find(L'%') == std::wstring::npos) return input;

    const std::size_t limit = input.size() + kFullExpansionGrowth;
    std::wstring out;
    out.reserve(input.size());
    const std::wstring_view source(input);
    std::size_t at = 0;
    while (at < source.size() && out.size() < limit) {
        const std::size_t percent = source.find(L'%', at);
        if (percent == std::wstring_view::npos) {
            out.append(source.substr(at));
            break;
        }
        out.append(source.substr(at, percent - at));
        at = percent;
        const std::wstring_view rest = source.substr(at);
        std::size_t row = 0;
        while (row < names.size() && !NameStarts(rest, names[row])) ++row;
        if (row < names.size() && row < values.size()) {
            out.append(values[row]);
            at += names[row].size();
        } else {
            out.push_back(L'%');
            ++at;
        }
    }
    if (out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace tarvox
