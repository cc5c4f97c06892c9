// What a host application gets when files and registry values are not as they should be:
// locked and read-only files, concurrent writers, overlong and mistyped registry values,
// broken exports and text files, hostile XML.
#include <tarvox/config.h>
#include <tarvox/folders.h>
#include <tarvox/registry.h>
#include <tarvox/xml.h>

#include "tests/faults/versioned_config.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>


namespace {

using namespace tarvox::test;

std::size_t FilesIn(const std::wstring& folder) {
    std::size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

class FaultTest : public SandboxTest {
protected:
    std::wstring NewVersionedFile(const wchar_t* name) {
        const std::wstring path = temp.WriteFile(name, "[Run]\r\nversion=\r\n");
        CCfgReader reader(path.c_str());
        WriteVersion(reader, L"initial");
        EXPECT_EQ(reader.Save(), 1);
        return path;
    }
};

TEST_F(FaultTest, AFileHeldOpenByAnotherProcess) {
    const std::string original = "[A]\r\nk=old\r\n";
    const std::string changed = "[A]\r\nk=new\r\n";
    struct Case {
        const char* label;
        DWORD share;         // how the other process holds the file
        int saved;           // the result of the save while it does
        const char* seen;    // what it then reads through its handle, or null when either may be
    };
    const Case cases[] = {
        // Nobody may write: the save waits, fails and leaves the file as it was.
        {"unshared", 0, 0, "[A]||k=old||"},
        // As the family's products and editors open it: the file is written in place.
        {"read and write shared", FILE_SHARE_READ | FILE_SHARE_WRITE, 1, "[A]||k=new||"},
        {"all shared", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 1, nullptr},
    };
    const std::wstring eventName = L"Local\\TarvoxTestRelease-" + std::to_wstring(GetCurrentProcessId());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::wstring path = temp.WriteFile(L"held.cfg", original);
        CCfgReader reader(path.c_str());
        reader.SetTimeout(500);
        reader.SetValue(L"A", L"k", L"new");
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
        ASSERT_NE(release, nullptr);
        RunningChild holder("HoldFileOpen", {.args = {path, std::to_wstring(c.share), eventName}});
        // Wait until the other process holds the file.
        for (int i = 0; i < 200 && holder.OutputSoFar().find("locked=1") == std::string::npos; ++i) Sleep(25);
        ASSERT_NE(holder.OutputSoFar().find("locked=1"), std::string::npos);

        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(reader.Save(), c.saved);
        if (c.saved == 0) {
            EXPECT_GE(GetTickCount64() - start, 400u);  // it waited before giving up
        }
        const std::string& onDisk = c.saved == 1 ? changed : original;
        EXPECT_EQ(reader.Get_m_Original(), std::wstring(onDisk.begin(), onDisk.end()));
        SetEvent(release);
        const ChildResult held = holder.Wait();
        CloseHandle(release);
        EXPECT_TRUE(held.Passed()) << held.output;
        if (c.seen != nullptr) {
            EXPECT_EQ(held.Value("seen"), c.seen);
        }
        EXPECT_EQ(ReadFileBytes(path), onDisk);
        EXPECT_EQ(FilesIn(temp.Path()), 1u);  // no temporary file left behind

        // Once the file is free again, the same reader saves (or has nothing left to save).
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(ReadFileBytes(path), changed);
        EXPECT_EQ(reader.Get_m_HasChanged(), 0);
    }
}

TEST_F(FaultTest, ReadOnlyFilesAndMissingFoldersAreNotWritten) {
    const std::string original = "[A]\r\nk=old\r\n";
    const std::wstring path = temp.WriteFile(L"readonly.cfg", original);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        CCfgReader reader(path.c_str());
        reader.SetTimeout(200);
        reader.SetValue(L"A", L"k", L"new");
        EXPECT_EQ(reader.Save(), 0);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(FilesIn(temp.Path()), 1u);

    const std::wstring nowhere = temp / L"missing\\folder\\new.cfg";
    CCfgReader reader(nowhere.c_str());
    reader.SetTimeout(200);
    reader.SetValue(L"A", L"k", L"v");
    EXPECT_EQ(reader.Save(), 0);
    EXPECT_EQ(GetFileAttributesW((temp / L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FaultTest, TwoProcessesSavingOneFileAlwaysLeaveAWholeVersion) {
    const std::wstring path = NewVersionedFile(L"shared.cfg");
    constexpr int kSaves = 500;
    RunningChild first("SaveRepeatedly", {.args = {path, L"first", std::to_wstring(kSaves)}, .timeoutMs = 600000});
    RunningChild second("SaveRepeatedly", {.args = {path, L"second", std::to_wstring(kSaves)}, .timeoutMs = 600000});
    const ChildResult a = first.Wait();
    const ChildResult b = second.Wait();
    ASSERT_TRUE(a.Passed()) << a.output;
    ASSERT_TRUE(b.Passed()) << b.output;
    EXPECT_EQ(a.Value("torn_loads"), "0");
    EXPECT_EQ(b.Value("torn_loads"), "0");
    EXPECT_EQ(a.Value("failed_saves"), "0");
    EXPECT_EQ(b.Value("failed_saves"), "0");
    CCfgReader reader(path.c_str());
    EXPECT_TRUE(IsWholeVersion(reader));
    std::wstring version;
    reader.GetValue(version, L"Run", L"version", L"");
    EXPECT_TRUE(version == L"first-" + std::to_wstring(kSaves - 1) || version == L"second-" + std::to_wstring(kSaves - 1))
        << Utf8(version);
}

TEST_F(FaultTest, WritersKilledWhileSavingLeaveAWholeVersion) {
    const std::wstring path = NewVersionedFile(L"killed.cfg");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::wstring writer = L"killed" + std::to_wstring(round);
        {
            RunningChild child("SaveRepeatedly", {.args = {path, writer, L"1000000"}});
            // Let it save a few times; it is then ended wherever it is.
            bool saving = false;
            for (int i = 0; i < 2000 && !saving; ++i) {
                CCfgReader reader(path.c_str());
                std::wstring version;
                reader.GetValue(version, L"Run", L"version", L"");
                saving = version.rfind(writer + L"-", 0) == 0 && version != writer + L"-0";
                if (!saving) Sleep(5);
            }
            ASSERT_TRUE(saving);
        }
        CCfgReader reader(path.c_str());
        ASSERT_EQ(reader.IsInit(), 1);
        EXPECT_TRUE(IsWholeVersion(reader));
    }
}

TEST_F(FaultTest, EightReadersSeeWholeVersionsWhileAThreadSavesTwoHundredTimes) {
    const std::wstring path = NewVersionedFile(L"threads.cfg");
    constexpr int kReaders = 8;
    constexpr int kSaves = 200;
    std::atomic<bool> writing{true};
    std::atomic<int> failedSaves{0};
    std::array<int, kReaders> loads{};
    std::array<int, kReaders> torn{};
    std::array<int, kReaders> failedLoads{};
    std::vector<std::thread> readers;
    for (int r = 0; r < kReaders; ++r) {
        readers.emplace_back([&, r] {
            // Every reader loads at least once after the writer is done, so that each one
            // also meets the last version.
            bool last = false;
            while (!last) {
                last = !writing.load();
                CCfgReader reader(path.c_str());
                if (reader.IsInit() != 1) {
                    ++failedLoads[r];
                    continue;
                }
                ++loads[r];
                if (!IsWholeVersion(reader)) ++torn[r];
            }
        });
    }
    std::thread writer([&] {
        for (int i = 0; i < kSaves; ++i) {
            CCfgReader reader(path.c_str());
            WriteVersion(reader, L"v" + std::to_wstring(i));
            if (reader.Save() != 1) ++failedSaves;
        }
        writing = false;
    });
    writer.join();
    for (std::thread& reader : readers) reader.join();

    EXPECT_EQ(failedSaves.load(), 0);
    for (int r = 0; r < kReaders; ++r) {
        EXPECT_GT(loads[r], 0) << "reader " << r;
        EXPECT_EQ(torn[r], 0) << "reader " << r;
        EXPECT_EQ(failedLoads[r], 0) << "reader " << r;
    }
    CCfgReader reader(path.c_str());
    std::wstring version;
    reader.GetValue(version, L"Run", L"version", L"");
    EXPECT_EQ(version, L"v" + std::to_wstring(kSaves - 1));
    EXPECT_TRUE(IsWholeVersion(reader));
    // Nothing but the file itself is left in its folder: no temporary copies.
    EXPECT_EQ(FilesIn(temp.Path()), 1u);
}

TEST_F(FaultTest, RegistryValuesLongerThanTheBuffersOrOfOtherTypes) {
    const std::wstring key = L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020";
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'x');
    registry.Apply({Sz(key, L"InstallDir", tooLong), Sz(key, L"", L"C:\\Default")});
    wchar_t buffer[260];
    // A value that does not fit counts as missing: the default value answers.
    EXPECT_STREQ(GetCentralRAppDir(buffer, 2020), L"C:\\Default");
    registry.Apply({Binary(key, L"InstallDir", std::vector<BYTE>(600, 'x'))});
    wchar_t guard[4] = L"ok";
    GetCentralRAppDir(buffer, 2020);
    EXPECT_LT(std::wcslen(buffer), 260u);
    EXPECT_STREQ(guard, L"ok");

    // Long texts read through a path come back whole; binary data as no text.
    std::wstring text;
    registry.Apply({Sz(L"HKCU\\Software\\Tarvox\\Long", L"Text", std::wstring(5000, L'y')),
                    Binary(L"HKCU\\Software\\Tarvox\\Long", L"Bytes", {1, 2, 3})});
    EXPECT_EQ(GetRegValue(text, L"HKEY_CURRENT_USER\\Software\\Tarvox\\Long", L"Text", 0), 1);
    EXPECT_EQ(text.size(), 5000u);
    GetRegValue(text, L"HKEY_CURRENT_USER\\Software\\Tarvox\\Long", L"Bytes", 0);
    EXPECT_EQ(text, L"");
}

TEST_F(FaultTest, KeyPathsLongerThan259CharactersWork) {
    std::wstring subKey = L"Software\\Tarvox";
    while (subKey.size() < 400) subKey += L"\\" + std::wstring(40, L'k');
    const std::wstring path = L"HKEY_CURRENT_USER\\" + subKey;
    {
        CCfgReader reader(path.c_str());
        reader.SetValue(L"\\", L"Deep", L"value");
        EXPECT_EQ(reader.Save(), 1);
    }
    std::wstring text;
    EXPECT_EQ(GetRegValue(text, path.c_str(), L"Deep", 0), 1);
    EXPECT_EQ(text, L"value");
    CCfgReader again(path.c_str());
    again.GetValue(text, L"\\", L"Deep", L"");
    EXPECT_EQ(text, L"value");
}

TEST_F(FaultTest, ARegeditExportCutInsideAnExpandableValue) {
    const std::wstring path = temp.WriteFile(L"cut.reg",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tarvox\\Cut]\r\n\"Before\"=\"kept\"\r\n"
        "\"Path\"=hex(2):25,00,41,00,50,00,50,00,44,00,41,00,\\\r\n  54,00,41,");
    CCfgReader reader(path.c_str());
    std::wstring text;
    ASSERT_EQ(reader.IsInit(), 1);
    reader.GetValue(text, L"HKEY_CURRENT_USER\\Software\\Tarvox\\Cut", L"\"Before\"", L"");
    EXPECT_EQ(text, L"\"kept\"");
    // The cut value keeps what its bytes give, and nothing beyond them.
    reader.GetValue(text, L"HKEY_CURRENT_USER\\Software\\Tarvox\\Cut", L"\"Path\"", L"");
    EXPECT_EQ(text.substr(0, 7), L"SZ_EX:\"");
    EXPECT_LE(text.size(), 7u + 8u);
}

TEST_F(FaultTest, Utf16FilesWithAnOddByteCount) {
    std::string bytes("\xFF\xFE", 2);
    for (char c : std::string("[A]\r\nk=v\r\n")) bytes += std::string{c, '\0'};
    bytes += 'x';  // half a character
    const std::wstring path = temp.WriteFile(L"odd.cfg", bytes);
    CCfgReader reader(path.c_str());
    std::wstring text;
    reader.GetValue(text, L"A", L"k", L"");
    EXPECT_EQ(text.substr(0, 1), L"v");
}

TEST_F(FaultTest, HostileXmlIsRefusedWithoutHanging) {
    struct Com {
        Com() { CoInitialize(nullptr); }
        ~Com() { CoUninitialize(); }
    } com;
    std::wstring laughs = L"<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    laughs += L"<!ENTITY l1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">";
    for (int i = 2; i <= 9; ++i) {
        laughs += L"<!ENTITY l" + std::to_wstring(i) + L" \"";
        for (int j = 0; j < 10; ++j) laughs += L"&l" + std::to_wstring(i - 1) + L";";
        laughs += L"\">";
    }
    laughs += L"]><lolz>&l9;</lolz>";
    CXMLHelpers::DocPtr doc;
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(laughs.c_str(), doc), 0);

    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"<a>";
    for (int i = 0; i < 100000; ++i) deep += L"</a>";
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(deep.c_str(), doc), 0);

    // An ordinary document with a short DOCTYPE-free body still loads.
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(L"<a><b>1</b></a>", doc), 1);
}

}  // namespace
