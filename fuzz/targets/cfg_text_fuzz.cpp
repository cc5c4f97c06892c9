// The configuration text format: splitting, classifying, headers, entries and composing.
#include "config/cfg_text.h"
#include "fuzz/targets/fuzz_input.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::WideFromBytes(data, size);
    const std::vector<std::wstring> lines = tarvox::SplitCfgLines(text);
    for (const std::wstring& line : lines) {
        if (line.find(L'\r') != std::wstring::npos) fuzz::Fail("a line holds a carriage return");
        if (tarvox::TrimCfg(line).size() != line.size()) fuzz::Fail("a line is not trimmed");
        switch (tarvox::ClassifyCfgLine(line)) {
            case tarvox::CfgLineKind::Header: {
                const tarvox::CfgHeader header = tarvox::NormalizeCfgHeader(line);
                if (header.line.empty() || header.line.front() != L'[')
                    fuzz::Fail("header form lost its bracket");
                if (tarvox::NormalizeCfgHeader(header.line).line != header.line)
                    fuzz::Fail("header form is not stable");
                break;
            }
            case tarvox::CfgLineKind::Other: {
                std::wstring name;
                std::wstring value;
                std::wstring_view nameView;
                std::wstring_view valueView;
                const bool split = tarvox::SplitCfgEntry(line, name, value);
                if (split != tarvox::SplitCfgEntryView(line, nameView, valueView))
                    fuzz::Fail("entry splits disagree");
                if (split && (name != nameView || value != valueView))
                    fuzz::Fail("entry splits disagree");
                if (split) tarvox::IsListModeSwitch(name, value);
                // Read as an entry in list mode, the line as rewritten splits into the same
                // name and value.
                std::wstring rewritten = line;
                tarvox::CfgListMode list{true, 7};
                std::wstring room;
                if (!tarvox::ReadCfgEntryLine(rewritten, list, name, valueView, room)) {
                    fuzz::Fail("a line is not an entry in list mode");
                }
                value = std::wstring(valueView);
                if (!tarvox::SplitCfgEntryView(rewritten, nameView, valueView) ||
                    name != nameView || value != valueView) {
                    fuzz::Fail("a rewritten entry line splits differently");
                }
                break;
            }
            default: break;
        }
    }
    // Composing and splitting again gives the lines back, without empty lines at either end
    // and with runs of empty lines reduced to one.
    const std::wstring composed = tarvox::ComposeCfgText(lines);
    std::vector<std::wstring> expected;
    for (const std::wstring& line : lines) {
        if (line.empty() && (expected.empty() || expected.back().empty())) continue;
        expected.push_back(line);
    }
    while (!expected.empty() && expected.back().empty()) expected.pop_back();
    if (tarvox::SplitCfgLines(composed) != expected)
        fuzz::Fail("compose and split do not round-trip");
    if (size >= 8) {
        long long number = 0;
        __builtin_memcpy(&number, data, sizeof number);
        const std::wstring name = tarvox::ListEntryName(number);
        if (number >= 0 && name.size() < 5) fuzz::Fail("list entry name shorter than five digits");
    }
    return 0;
}
