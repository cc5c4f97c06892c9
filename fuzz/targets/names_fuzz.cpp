// Product names, release rules, product sort keys and edition names.
#include "autocad/product_names.h"
#include "autocad/release_rules.h"
#include "paths/edition_names.h"
#include "fuzz/targets/fuzz_input.h"

#include <cstdint>
#include <cwchar>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int selector = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.find('\n');
    // The functions take C strings: the texts end at their first NUL.
    std::wstring first = fuzz::Latin1FromBytes(rest.substr(0, split));
    std::wstring second = split == std::string_view::npos
                              ? std::wstring()
                              : fuzz::Latin1FromBytes(rest.substr(split + 1));
    first.resize(std::wcslen(first.c_str()));
    second.resize(std::wcslen(second.c_str()));

    using namespace tarvox::autocad;
    const int type = GetAcadProductType(first.c_str());
    if (first.empty() != (type == kAcadTypeNoName)) fuzz::Fail("product type of an empty name");
    if (AcadVerticalCode(first).size() != 3) fuzz::Fail("vertical code is not three characters");
    const std::wstring key = MakeAcadProductSortKey(
        first.c_str(), second.empty() ? nullptr : second.c_str(), selector & 1);
    // A release field of 20 characters, then 128 spaces or a vertical code and the name
    // padded to 128 (a longer name is kept whole).
    if (!key.empty() && key.size() != 20 + 128 && key.size() < 20 + 3 + 128)
        fuzz::Fail("sort key of an odd length");
    if (!key.empty() && (key[0] != L'1' && key[0] != L'9'))
        fuzz::Fail("sort key does not lead with 1 or 9");
    int ltOrArchitecture = 0;
    IsPureAcadName(first.c_str(), &ltOrArchitecture);
    IsPlainAcadName(first);
    const AcadReleaseGroup group = AcadReleaseGroupOfName(first);
    const int release =
        AcadReleaseIndexOfName(first, group, selector % 3 == 0 ? -1 : 2000 + selector % 30);
    if (release < 0 || release > kReleasesPerGroup) fuzz::Fail("release index out of range");
    if (SameProductCodeFamily(first, second) != SameProductCodeFamily(second, first))
        fuzz::Fail("family not symmetric");
    ContainsIgnoringAsciiCase(first, second);

    tarvox::MapEditionNameFor(first, selector % 7, second);
    return 0;
}
