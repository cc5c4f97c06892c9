// Mapping edition-neutral names to the edition in use.
#include "paths/edition_names.h"

#include "paths/edition_rules.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox;

TEST(EditionNames, NeutralNamesProductNamesAndHelpFilesOfEachEdition) {
    const struct {
        int edition;
        const wchar_t *productName, *text, *mapped;
    } rows[] = {
        // Whole neutral names map by position, ignoring case; not inside a longer text.
        {kEditionLuminor, L"Tarvo Luminor", L"installdir", L"InstallDir_LU"},
        {kEditionArdent, L"Tarvo Ardent", L"InstallDir", L"InstallDir_AR"},
        {kEditionLuminor, L"Tarvo Luminor", L"%TarvoArdent_2020_U%", L"%TarvoArdent_LU_2020_U%"},
        {kEditionArdent, L"Tarvo Ardent", L"Tarvo Ardent(M).chm", L"Tarvo Ardent(m).chm"},
        {kEditionLuminor, L"Tarvo Luminor", L"InstallDir2", L"InstallDir2"},
        // The older line keeps the neutral names.
        {kEditionZenit, L"Tarvo Zenit", L"InstallDir", L"InstallDir"},
        // Older product names become the edition's name; the replacement is not scanned again.
        {kEditionLuminor, L"Tarvo Luminor", L"C:\\Tarvo Zenit 2020\\Data",
         L"C:\\Tarvo Luminor 2020\\Data"},
        {kEditionArdent, L"Tarvo Ardent", L"Tarvo Zenit(+) und Tarvo Zenit+",
         L"Tarvo Ardent und Tarvo Ardent"},
        {kEditionArdent, L"Tarvo Ardent", L"tarvo zenit Handbuch", L"Tarvo Ardent Handbuch"},
        {kEditionUnknown, L"", L"[Tarvo Zenit]", L"[]"},
        // A lower-case candidate before a capital one is skipped.
        {kEditionArdent, L"Tarvo Ardent", L"tarvo zenit / Tarvo Zenit",
         L"tarvo zenit / Tarvo Ardent"},
        // The CAD edition also replaces the main products' names.
        {kEditionCad, L"Tarvo CAD", L"Tarvox\\Tarvo Ardent 2020\\x", L"Tarvox\\Tarvo CAD\\x"},
        {kEditionCad, L"Tarvo CAD", L"Tarvo Ardent_ExtACA 2020", L"Tarvo CAD"},
        {kEditionCad, L"Tarvo CAD", L"Tarvo Zenit+", L"Tarvo CAD"},
        // Help files of the extended line lose the plus sign, in the help folder only.
        {kEditionZenitPlus, L"Tarvo Zenit+", L"Tarvo Zenit+.chm", L"Tarvo Zenit.chm"},
        {kEditionZenitPlus, L"Tarvo Zenit+", L"Tarvo Zenit+.pdf", L"Tarvo Zenit+.pdf"},
        {kEditionZenitPlus, L"Tarvo Zenit+", L"C:\\Help\\Tarvo Zenit+\\Handbuch.chm",
         L"C:\\Help\\Tarvo Zenit\\Handbuch.chm"},
        {kEditionZenitPlus, L"Tarvo Zenit+", L"C:\\Help\\Tarvo Zenit+\\Sub\\Handbuch.chm",
         L"C:\\Help\\Tarvo Zenit+\\Sub\\Handbuch.chm"},
        {kEditionZenitPlus, L"Tarvo Zenit+", L"C:\\Data\\Tarvo Zenit+\\Handbuch.chm",
         L"C:\\Data\\Tarvo Zenit+\\Handbuch.chm"}};
    for (const auto& row : rows)
        EXPECT_EQ(MapEditionNameFor(row.text, row.edition, row.productName), row.mapped)
            << row.text;
}

}  // namespace
