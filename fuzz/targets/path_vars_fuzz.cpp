// Path-variable expansion and re-abbreviation with a table made from the input.
#include "paths/path_var_engine.h"
#include "fuzz/targets/fuzz_input.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Lines of "name=value" up to the first empty line make the table; the rest is the text.
    const std::wstring input =
        fuzz::Latin1FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    tarvox::PathVarTable table;
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t end = input.find(L'\n', at);
        const std::wstring line =
            input.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? input.size() : end + 1;
        if (line.empty()) break;
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        tarvox::AddPathVar(table, L"%" + line.substr(0, equals) + L"%", line.substr(equals + 1),
                           fuzz::PlainOrder);
    }
    for (std::size_t i = 1; i < table.names.size(); ++i) {
        if (fuzz::PlainOrder(table.names[i - 1], table.names[i]) != tarvox::SortOrder::Before)
            fuzz::Fail("table not sorted");
    }
    const std::wstring text = input.substr(at);
    const std::wstring expanded = tarvox::ExpandWithTable(text, table, fuzz::PlainOrder);
    if (text.find(L'%') == std::wstring::npos && expanded != text)
        fuzz::Fail("text without variables changed");
    const std::vector<std::size_t> lengths = tarvox::BuildLengthIndex(table);
    if (lengths.size() != table.names.size()) fuzz::Fail("length index incomplete");
    for (std::size_t i = 1; i < lengths.size(); ++i) {
        if (table.values[lengths[i - 1]].size() > table.values[lengths[i]].size())
            fuzz::Fail("length index out of order");
    }
    tarvox::AbbreviateWithTable(expanded, table, lengths, fuzz::PlainOrder);
    return 0;
}
