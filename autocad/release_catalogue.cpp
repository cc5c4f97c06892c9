#include "autocad/release_catalogue.h"

#include <iterator>

namespace tarvox::autocad {

namespace {

struct YearRelease {
    int year;
    const wchar_t* key;
};

constexpr YearRelease kReleases[] = {
    {2012, L"R18.2"}, {2013, L"R19.0"}, {2014, L"R19.1"}, {2015, L"R20.0"},
    {2016, L"R20.1"}, {2017, L"R21.0"}, {2018, L"R22.0"}, {2019, L"R23.0"},
    {2020, L"R23.1"}, {2021, L"R24.0"}, {2022, L"R25.0"},
};

const wchar_t* FindKey(int year) {
    for (const YearRelease& entry : kReleases) {
        if (entry.year == year) return entry.key;
    }
    return nullptr;
}

}  // namespace

const wchar_t* AcadReleaseKeyForYear(int year) {
    const wchar_t* key = FindKey(year);
    return key ? key : FindKey(ProductYear);
}

std::wstring& CurrentAcadRelease() {
    // A function-local static is initialised exactly once, even with concurrent first calls.
    static std::wstring release = AcadReleaseKeyForYear(ProductYear);
    return release;
}

void SelectAcadReleaseByYear(int year) { CurrentAcadRelease() = AcadReleaseKeyForYear(year); }

}  // namespace tarvox::autocad
