// The ZIP reader of the CuixPort module: the central directory, every entry's data (stored or
// deflated, bounded by the recorded sizes), part lookup and the file names of part copies.
#include "stubs/cuixport/byte_source.h"
#include "stubs/cuixport/part_names.h"
#include "stubs/cuixport/zip_directory.h"
#include "stubs/cuixport/zip_entry_data.h"
#include "fuzz/targets/fuzz_input.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const cuixport::MemorySource source(std::span<const unsigned char>(data, size));
    const auto entries = cuixport::ReadZipDirectory(source);
    if (!entries) return 0;
    std::vector<unsigned char> out;
    std::size_t extracted = 0;
    for (const cuixport::ZipEntry& entry : *entries) {
        // Inflating is bounded by the recorded size: keep the fuzzer's memory in check.
        if (entry.size > (8u << 20) || extracted > (32u << 20)) continue;
        const cuixport::ExtractResult result = cuixport::ExtractEntry(source, entry, out);
        if (result == cuixport::ExtractResult::Ok && out.size() != entry.size)
            fuzz::Fail("extracted size differs from the record");
        if (result != cuixport::ExtractResult::Ok && !out.empty())
            fuzz::Fail("failed extraction left data");
        extracted += out.size();

        const std::wstring wide = cuixport::Utf8ToWide(entry.name);
        cuixport::FindPart(*entries, wide);
        const std::wstring file = cuixport::PartFileName(wide, 40);
        if (file.empty() || file.size() > 40) fuzz::Fail("part file name empty or too long");
        if (file.find_first_of(L"\\/:") != std::wstring::npos || file == L"." || file == L"..") {
            fuzz::Fail("part file name leaves its folder");
        }
        cuixport::ComparablePartName(entry.name);
    }
    return 0;
}
