#include <tarvox/autocad.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "autocad/release_catalogue.h"
#include "tests/support/acad_machine_test.h"

namespace tarvox::autocad {
namespace {

using test::AcadProduct;

// Position and year of a release among its group's variables: 2000, 2000i (2001), 2002, 2004...
constexpr std::size_t IndexOfYear(int year) { return year - (year <= 2002 ? 2000 : 2001); }
constexpr int YearAt(std::size_t pos) { return static_cast<int>(pos + (pos < 3 ? 2000 : 2001)); }

// One call of an overload with N release variables (GetACReleases, or GetACRReleases when
// raster), and its results.
template <std::size_t N, bool raster = false>
struct ReleaseCall {
    std::array<long long, N> v{};
    long long* selected = reinterpret_cast<long long*>(1);
    wchar_t key[260] = L"stale", profile[260] = L"stale", exe[260] = L"stale";

    static constexpr std::size_t kPerGroup = N / 3;
    long long& Lt(int year) { return v[IndexOfYear(year)]; }
    long long& Acad(int year) { return v[kPerGroup + IndexOfYear(year)]; }
    long long& Arch(int year) { return v[2 * kPerGroup + IndexOfYear(year)]; }
    long long& Raster(int year) { return v[static_cast<std::size_t>(year - 2006)]; }

    int Run(long long* selector = nullptr, bool buffers = true) {
        return [&]<std::size_t... I>(std::index_sequence<I...>) {
            wchar_t* k = buffers ? key : nullptr;
            if constexpr (raster)
                return GetACRReleases(v[I]..., selected, k, profile, exe, selector);
            else
                return GetACReleases(v[I]..., selected, k, buffers ? profile : nullptr,
                                     buffers ? exe : nullptr, selector);
        }
        (std::make_index_sequence<N>());
    }
    // The variables that are not 0, in their order, as "LT2020 AC2020*": "*" marks the one
    // pSelected points at, values other than 1 follow with "=".
    std::string Set() const {
        std::string text;
        for (std::size_t i = 0; i < N; ++i) {
            if (v[i] == 0) continue;
            const char* group = raster              ? "R"
                                : i < kPerGroup     ? "LT"
                                : i < 2 * kPerGroup ? "AC"
                                                    : "ARCH";
            if (!text.empty()) text += ' ';
            text += group;
            text += std::to_string(raster ? static_cast<int>(i) + 2006 : YearAt(i % kPerGroup));
            if (v[i] != 1) text.append("=").append(std::to_string(v[i]));
            if (selected == &v[i]) text += '*';
        }
        return text;
    }
};
template <std::size_t N>
using RasterCall = ReleaseCall<N, true>;

class ReleaseFlagsTest : public test::AcadMachineTest {
protected:
    void SetUp() override { SelectAcadReleaseByYear(2020); }
    void TearDown() override { SelectAcadReleaseByYear(2020); }
    std::wstring Add2020(const wchar_t* keyName, const wchar_t* name, const wchar_t* folder) {
        return Add(L"R23.1", keyName, name, folder, L"2020");
    }
};

TEST_F(ReleaseFlagsTest, FlagsOfEveryGroupAndTheCurrentProduct) {
    ReleaseCall<72> call;
    call.v.fill(7);
    EXPECT_EQ(call.Run(), 0);
    EXPECT_EQ(call.Set(), "");
    EXPECT_EQ(call.selected, nullptr);
    EXPECT_EQ(std::wstring(call.key) + call.profile + call.exe, L"");
    EXPECT_EQ(RasterCall<7>().Run(), 0);

    const std::wstring acad = Add2020(L"ACAD-3001:409", L"AutoCAD 2020 - English", L"AutoCAD 2020");
    Add2020(L"ACAD-3004:409", L"AutoCAD Architecture 2020 - English", L"Architecture 2020");
    Add(L"R18.0", L"ACAD-8004:409", L"AutoCAD Architecture 2010", L"ACA 2010");
    Add(L"R15.6", L"ACAD-0001:409", L"Autodesk Architectural Desktop 3.3", L"ADT");
    AddLt(L"R23.1", L"ACADLT-3001:409", L"AutoCAD LT 2020 - English", L"LT 2020", L"2020");
    AddLt(L"R18.2", L"ACADLT-A001:409", L"AutoCAD LT 2012 - English", L"LT 2012");
    // A folder naming a later year keeps a product out of the list altogether.
    Add(L"R24.0", L"ACAD-4001:409", L"AutoCAD 2021 - English", L"AutoCAD 2021", L"2021");
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3001:409");
    machine.SetUserProfile(acad, L"Tarvo");
    call.v.fill(7);
    ASSERT_EQ(call.Run(), 1);
    // "Architectural Desktop" has none of the words that make a name non-plain, so it counts
    // as a second plain AutoCAD and gives way to the current one (no ARCH2002).
    EXPECT_EQ(call.Set(), "LT2012 LT2020 AC2020* ARCH2010 ARCH2020");
    EXPECT_EQ(call.key, acad);
    EXPECT_EQ(call.profile, acad + L"\\Profiles\\Tarvo");
    EXPECT_EQ(call.exe, machine.FolderOf(L"AutoCAD 2020") + L"\\aCaD.eXe");

    // ___GetACReleases is the 72-variable form under another name.
    std::array<long long, 72> same{};
    long long* selected = nullptr;
    EXPECT_EQ(
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            return ___GetACReleases(same[I]..., selected, nullptr, nullptr, nullptr, nullptr);
        }(std::make_index_sequence<72>()),
        1);
    EXPECT_EQ(same, call.v);
}

TEST_F(ReleaseFlagsTest, ShortOverloadsTakeFewerReleases) {
    const std::wstring acad = Add2020(L"ACAD-3001:409", L"AutoCAD 2020 - English", L"AutoCAD 2020");
    Add(L"R19.1", L"ACAD-D001:409", L"AutoCAD 2014 - English", L"AutoCAD 2014");
    AddLt(L"R19.1", L"ACADLT-D001:409", L"AutoCAD LT 2014 - English", L"LT 2014");
    // The current product (the first listed, AutoCAD 2014 here) is plain: AutoCAD 2020 drops.
    ReleaseCall<42> call;
    ASSERT_EQ(call.Run(), 1);
    EXPECT_EQ(call.Set(), "LT2014 AC2014*");

    // With the user's CurVer AutoCAD 2020 is current and the only plain product: a release the
    // 42-variable form does not take, so pSelected stays null while the buffers are filled.
    registry.Apply(
        {test::Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-3001:409")});
    ASSERT_EQ(call.Run(), 1);
    EXPECT_EQ(call.selected, nullptr);
    EXPECT_EQ(call.key, acad);
    EXPECT_EQ(call.Set(), "LT2014");
    ReleaseCall<60> full;
    ASSERT_EQ(full.Run(), 1);
    EXPECT_EQ(full.Set(), "LT2014 AC2020*");
}

TEST_F(ReleaseFlagsTest, NonPureFilterAndUpiReleaseYears) {
    Add2020(L"ACAD-3004:409", L"AutoCAD Architecture 2020 - English", L"Architecture 2020");
    Add2020(L"ACAD-3005:409", L"AutoCAD Mechanical 2020 - English", L"Mechanical 2020");
    AddLt(L"R23.1", L"ACADLT-3001:409", L"AutoCAD LT 2020 - English", L"LT 2020", L"2020");
    // Installed in a folder without a year, its UPIRELEASE tells the release.
    Add(L"R24.0", L"ACAD-4001:409", L"AutoCAD 2021 - English", L"AcadNext", L"2021");

    ReleaseCall<72> call;
    ASSERT_EQ(call.Run(), 1);
    EXPECT_EQ(call.Set(), "LT2020 AC2020 AC2021 ARCH2020*");  // AC2020: Mechanical

    // -1 and 1 in the 2020 variables: only pure AutoCAD names besides LT and Architecture.
    call.Acad(2020) = -1;
    call.Lt(2020) = 1;
    ASSERT_EQ(call.Run(), 1);
    EXPECT_EQ(call.Set(), "LT2020 ARCH2020*");
    // Values that don't balance leave the filter off.
    call.Acad(2020) = -1;
    call.Lt(2020) = 0;
    ASSERT_EQ(call.Run(), 1);
    EXPECT_EQ(call.Acad(2021), 1);

    // Listed through "AcadLocation", but the executable is looked up through "Location" only.
    machine.Add(AcadProduct(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020 - English", L"AutoCAD 2020")
                    .AcadLocationOnly()
                    .UpiRelease(L"2020"));
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3001:409");
    ASSERT_EQ(call.Run(), 1);
    EXPECT_EQ(call.selected, &call.Acad(2020));
    EXPECT_STREQ(call.exe, L"\\aCaD.eXe");
}

TEST_F(ReleaseFlagsTest, RasterDesignByProductCode) {
    const auto raster = [&](const wchar_t* release, const wchar_t* keyName, std::wstring year,
                            const wchar_t* code) {
        return machine.Add(
            AcadProduct(release, keyName, L"AutoCAD Raster Design " + year, L"Raster " + year)
                .ProductCode(code));
    };
    raster(L"R17.0", L"ACAD-5001:407", L"2007", L"{5783f2d7-5001-0407-0012-0060b0ce6bba}");
    // 2008 compares whole codes: another language is another product.
    raster(L"R17.1", L"ACAD-6001:409", L"2008", L"{5783F2D7-6001-0409-0012-0060B0CE6BBA}");
    Add(L"R18.0", L"ACAD-8001:409", L"AutoCAD 2010", L"AutoCAD 2010");
    // From 2009 on any language of the family counts.
    const std::wstring raster2010 =
        raster(L"R18.0", L"ACAD-8001:40C", L"2010", L"{5783F2D7-8001-040C-0022-0060B0CE6BBA}");
    Add(L"R18.1", L"ACAD-9001:409", L"AutoCAD Raster Design 2011", L"Raster 2011");

    // The last pass reports the current product, the first listed.
    RasterCall<7> call;
    EXPECT_EQ(call.Run(), 1);
    EXPECT_EQ(call.Set(), "R2007* R2010");
    EXPECT_EQ(call.Run(&call.Raster(2010)), 1);
    EXPECT_EQ(call.key, raster2010);
    EXPECT_EQ(call.Raster(2010), 1);
    EXPECT_EQ(call.Run(&call.Raster(2008)), 0);
    EXPECT_EQ(call.Raster(2008), 0);
    EXPECT_EQ(call.Run(&call.Raster(2011)), 0);  // no product code

    // The codes are read back from keyBuf: without it no release passes.
    EXPECT_EQ(call.Run(nullptr, false), 0);
    EXPECT_EQ(call.Set(), "");

    RasterCall<2> shortCall;
    EXPECT_EQ(shortCall.Run(), 1);
    EXPECT_EQ(shortCall.Set(), "R2007*");
}

}  // namespace
}  // namespace tarvox::autocad
