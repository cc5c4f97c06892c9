// Registry exports rewritten for the configuration parser, hex(2) values included.
#include "config/cfg_text.h"
#include "config/regedit_text.h"
#include "fuzz/targets/fuzz_input.h"

#include <cstdint>

namespace {

wchar_t Latin1(unsigned char byte) { return static_cast<wchar_t>(byte); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Byte text after the REGEDIT4 mark, so that most inputs take the export path; the first
    // byte's low bit leaves the mark out now and then.
    std::wstring text =
        fuzz::Latin1FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    const bool marked = size == 0 || (data[0] & 1) == 0;
    if (marked) text = L"REGEDIT4\r\n" + text;
    const std::wstring before = text;
    const bool rewritten = tarvox::NormalizeRegedit(text, &Latin1);
    if (rewritten != marked) fuzz::Fail("export recognised wrongly");
    if (!rewritten && text != before) fuzz::Fail("text that is no export was changed");
    tarvox::SplitCfgLines(text);
    return 0;
}
