// Mapping edition-neutral names to the edition in use.
#include "paths/edition_names.h"

#include "paths/edition_rules.h"

#include <gtest/gtest.h>

namespace {

using tarvox::MapEditionNameFor;

std::wstring Luminor(const wchar_t* text) {
    return MapEditionNameFor(text, tarvox::kEditionLuminor, L"Tarvo Luminor");
}
std::wstring Ardent(const wchar_t* text) {
    return MapEditionNameFor(text, tarvox::kEditionArdent, L"Tarvo Ardent");
}

TEST(EditionNames, WholeNeutralNamesMapByPositionIgnoringCase) {
    EXPECT_EQ(Luminor(L"InstallDir"), L"InstallDir_LU");
    EXPECT_EQ(Luminor(L"installdir"), L"InstallDir_LU");
    EXPECT_EQ(Ardent(L"InstallDir"), L"InstallDir_AR");
    EXPECT_EQ(Luminor(L"%TarvoArdent_2020_U%"), L"%TarvoArdent_LU_2020_U%");
    EXPECT_EQ(Ardent(L"Tarvo Ardent(M).chm"), L"Tarvo Ardent(m).chm");
    EXPECT_EQ(Luminor(L"Tarvo Ardent.chm"), L"Tarvo Luminor.chm");
    EXPECT_EQ(Luminor(L"Symbole"), L"Symbole_L");
    // Only whole texts: a name inside a longer text is not a neutral name.
    EXPECT_EQ(Luminor(L"InstallDir2"), L"InstallDir2");
}

TEST(EditionNames, TheOlderLineKeepsNeutralNames) {
    EXPECT_EQ(MapEditionNameFor(L"InstallDir", tarvox::kEditionZenit, L"Tarvo Zenit"),
              L"InstallDir");
    EXPECT_EQ(MapEditionNameFor(L"InstallDir", tarvox::kEditionUnknown, L""), L"InstallDir");
}

TEST(EditionNames, OlderProductNamesBecomeTheEditionsName) {
    EXPECT_EQ(Luminor(L"C:\\Tarvox\\Tarvo Zenit 2020\\Data"),
              L"C:\\Tarvox\\Tarvo Luminor 2020\\Data");
    EXPECT_EQ(Ardent(L"Tarvo Zenit(+) und Tarvo Zenit+"), L"Tarvo Ardent und Tarvo Ardent");
    EXPECT_EQ(Ardent(L"tarvo zenit Handbuch"), L"Tarvo Ardent Handbuch");
    // The replacement is not scanned again, so a name that contains the pattern is safe.
    EXPECT_EQ(MapEditionNameFor(L"Tarvo Zenit", tarvox::kEditionZenit, L"Tarvo Zenit"),
              L"Tarvo Zenit");
    // Without an edition the name is removed.
    EXPECT_EQ(MapEditionNameFor(L"[Tarvo Zenit]", tarvox::kEditionUnknown, L""), L"[]");
}

TEST(EditionNames, ACapitalTIsPreferredOverALowerCaseOne) {
    // The lower-case candidate before the capital one is skipped while a capital T follows.
    EXPECT_EQ(Ardent(L"tarvo zenit / Tarvo Zenit"), L"tarvo zenit / Tarvo Ardent");
}

TEST(EditionNames, TheCadEditionAlsoReplacesTheMainProductsNames) {
    const auto cad = [](const wchar_t* text) {
        return MapEditionNameFor(text, tarvox::kEditionCad, L"Tarvo CAD");
    };
    EXPECT_EQ(cad(L"Tarvox\\Tarvo Ardent 2020\\x"), L"Tarvox\\Tarvo CAD\\x");
    EXPECT_EQ(cad(L"Tarvo Luminor 2020"), L"Tarvo CAD");
    EXPECT_EQ(cad(L"Tarvo Ardent_ExtACA 2020"), L"Tarvo CAD");
    EXPECT_EQ(cad(L"Tarvo Zenit+"), L"Tarvo CAD");
    EXPECT_EQ(cad(L"InstallDir"), L"InstallDir");
}

TEST(EditionNames, HelpFilesOfTheExtendedLineLoseThePlusSign) {
    const auto plus = [](const wchar_t* text) {
        return MapEditionNameFor(text, tarvox::kEditionZenitPlus, L"Tarvo Zenit+");
    };
    EXPECT_EQ(plus(L"Tarvo Zenit+.chm"), L"Tarvo Zenit.chm");
    EXPECT_EQ(plus(L"Tarvo Zenit+ Handbuch.CHM"), L"Tarvo Zenit Handbuch.CHM");
    EXPECT_EQ(plus(L"Tarvo Zenit+.pdf"), L"Tarvo Zenit+.pdf");
    EXPECT_EQ(plus(L"C:\\Prog\\Help\\Tarvo Zenit+\\Handbuch.chm"),
              L"C:\\Prog\\Help\\Tarvo Zenit\\Handbuch.chm");
    EXPECT_EQ(plus(L"C:\\Prog\\Help\\Tarvo Zenit+\\Sub\\Handbuch.chm"),
              L"C:\\Prog\\Help\\Tarvo Zenit+\\Sub\\Handbuch.chm");
    EXPECT_EQ(plus(L"C:\\Prog\\Data\\Tarvo Zenit+\\Handbuch.chm"),
              L"C:\\Prog\\Data\\Tarvo Zenit+\\Handbuch.chm");
}

}  // namespace
