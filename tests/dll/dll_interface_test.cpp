// tarvox.dll as a caller links it: through the import library, with dllimport declarations,
// and with no runtime DLLs beside it.
#include <tarvox/tarvox.h>

#include "tests/support/registry_sandbox.h"

#include <gtest/gtest.h>

namespace {

TEST(DllInterface, ExportedFunctionsAnswerThroughTheImportLibrary) {
    std::wstring root, subKey;
    EXPECT_EQ(SplitRegPath(L"hkey_users\\.DEFAULT\\", root, subKey), HKEY_USERS);
    EXPECT_EQ(root, L"HKEY_USERS");
    long long index = -1;
    EXPECT_EQ(FindSortedString(L"b", {L"a", L"B", L"c"}, index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(PathExists(L"C:\\Windows\\"), 0);
}

TEST(DllInterface, ExportedClassesWorkAcrossTheBoundary) {
    tarvox::test::RegistrySandbox sandbox;
    sandbox.Apply({tarvox::test::Sz(L"HKCU\\Software\\Tarvox", L"Name", L"value")});
    CRegKeyHolder key(HKEY_CURRENT_USER, L"Software\\Tarvox", 0, 0);
    ASSERT_NE(key.Get(), nullptr);
    std::wstring text;
    EXPECT_EQ(ReadRegValueString(text, key, L"Name"), 1);
    EXPECT_EQ(text, L"value");
}

TEST(DllInterface, DialogBackgroundHelpersWorkAcrossTheBoundary) {
    EXPECT_GT(GetDpiScale(), 0.0);
    CGdiBitmap bitmap;
    EXPECT_EQ(CreateFilledBitmap(RGB(1, 2, 3), bitmap, 8, 6), 1);
    EXPECT_EQ(bitmap.GetSize().cx, 8);
    EXPECT_EQ(ScaleBitmap(bitmap, 2.0), 1);
    EXPECT_EQ(bitmap.GetSize().cy, 12);
    // This program has no pictures: the background stays empty.
    CScaledBackground background;
    EXPECT_TRUE(background.GetBitmap().IsEmpty());
    EXPECT_EQ(background.m_FitToPicture, 1);
}

TEST(DllInterface, TheDllIsTheModuleThatAnswers) {
    HMODULE dll = GetModuleHandleW(L"tarvox.dll");
    ASSERT_NE(dll, nullptr);
    // The binding looks for CuixPort beside the DLL, not beside this program.
    EXPECT_NE(GetProcAddress(dll, "_Z10PathExistsPKwPi"), nullptr);
}

}  // namespace
