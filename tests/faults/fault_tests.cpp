// Files and registry values not as they should be: locked, read-only, concurrently written or
// cut files, a full drive, overlong and mistyped registry values, hostile XML.
#include <tarvox/config.h>
#include <tarvox/folders.h>
#include <tarvox/registry.h>
#include <tarvox/xml.h>

#include "foundation/com_scope.h"
#include "foundation/unique_handle.h"
#include "tests/faults/versioned_config.h"
#include "tests/support/sandbox_fixture.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using namespace tarvox::test;
using tarvox::FileHandle;
using tarvox::KernelHandle;

std::size_t TemporaryFilesOf(const std::wstring& path) {
    return FilesMatching(path + L".tarvox-*.tmp");
}

std::string Utf16Le(std::string_view ascii) {
    std::string bytes("\xFF\xFE", 2);
    for (const char c : ascii) bytes.append({c, '\0'});
    return bytes;
}

std::wstring Hex(DWORD number) {
    wchar_t text[16];
    swprintf(text, 16, L"%lx", static_cast<unsigned long>(number));
    return text;
}

std::wstring VersionOf(CCfgReader& reader) {
    std::wstring version;
    reader.GetValue(version, L"Run", L"version", L"");
    return version;
}

// Fills the drive of path with a new file, down to single bytes; true when it reported full.
bool FillDrive(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::string piece(65536, 'f');
    DWORD error = ERROR_SUCCESS;
    for (DWORD size = 65536, written = 0; size >= 1; size /= 4, error = GetLastError()) {
        while (WriteFile(file.Get(), piece.data(), size, &written, nullptr) && written == size) {}
    }
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

class FaultTest : public SandboxTest {
protected:
    std::wstring NewVersionedFile(const wchar_t* name,
                                  const std::string& empty = "[Run]\r\nversion=\r\n") {
        const std::wstring path = temp.WriteFile(name, empty);
        CCfgReader reader(path.c_str());
        WriteVersion(reader, L"initial");
        EXPECT_EQ(reader.Save(), 1);
        return path;
    }
    static std::wstring EventName(const wchar_t* purpose) {
        return std::wstring(L"Local\\TarvoxTest") + purpose +
               std::to_wstring(GetCurrentProcessId());
    }
};

TEST_F(FaultTest, AFileHeldOpenByAnotherProcess) {
    const std::string original = "[A]\r\nk=old\r\n", changed = "[A]\r\nk=new\r\n";
    const struct {
        const char* label;
        DWORD share;       // how the other process holds the file
        int saved;         // the result of the save while it does
        const char* seen;  // what it then reads through its handle, or null when either may be
    } cases[] = {
        // Nobody may write: the save waits, fails and leaves the file as it was.
        {"unshared", 0, 0, "[A]||k=old||"},
        // As the family's products and editors open it: the file is written in place.
        {"read and write shared", FILE_SHARE_READ | FILE_SHARE_WRITE, 1, "[A]||k=new||"},
        {"all shared", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 1, nullptr},
    };
    const std::wstring eventName = EventName(L"Release");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::wstring path = temp.WriteFile(L"held.cfg", original);
        CCfgReader reader(path.c_str());
        reader.SetTimeout(500);
        reader.SetValue(L"A", L"k", L"new");
        const KernelHandle release(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        RunningChild holder("HoldFileOpen", {.args = {path, std::to_wstring(c.share), eventName}});
        for (int i = 0; i < 200 && holder.OutputSoFar().find("locked=1") == std::string::npos; ++i)
            Sleep(25);
        ASSERT_NE(holder.OutputSoFar().find("locked=1"), std::string::npos);

        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(reader.Save(), c.saved);
        if (c.saved == 0) {
            EXPECT_GE(GetTickCount64() - start, 400u);  // it waited for the file
        }
        const std::string& onDisk = c.saved == 1 ? changed : original;
        EXPECT_EQ(reader.Get_m_Original(), std::wstring(onDisk.begin(), onDisk.end()));
        SetEvent(release.Get());
        const ChildResult held = holder.Wait();
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
    const std::wstring readOnly = temp.WriteFile(L"readonly.cfg", original);
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    for (const std::wstring& path : {readOnly, temp / L"missing\\folder\\new.cfg"}) {
        CCfgReader reader(path.c_str());
        reader.SetTimeout(200);
        reader.SetValue(L"A", L"k", L"new");
        EXPECT_EQ(reader.Save(), 0) << Utf8(path);
    }
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(readOnly), original);
    EXPECT_EQ(FilesIn(temp.Path()), 1u);
    EXPECT_EQ(GetFileAttributesW((temp / L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FaultTest, TwoProcessesSavingOneFileAndEightReadersSeeOnlyWholeVersions) {
    const std::wstring path = NewVersionedFile(L"shared.cfg");
    constexpr int kSaves = 200;
    RunningChild other("SaveRepeatedly",
                       {.args = {path, L"other", std::to_wstring(kSaves)}, .timeoutMs = 600000});
    std::atomic<bool> writing{true};
    struct Counts {
        int loads = 0, torn = 0, failedLoads = 0;
    };
    std::array<Counts, 8> counts{};
    std::vector<std::thread> readers;
    for (Counts& count : counts) {
        readers.emplace_back([&] {
            // Every reader loads once more after the writers are done, so that each one also
            // meets the last version.
            for (bool last = false; !last;) {
                last = !writing.load();
                CCfgReader reader(path.c_str());
                count.failedLoads += reader.IsInit() != 1;
                count.loads += reader.IsInit() == 1;
                count.torn += reader.IsInit() == 1 && !IsWholeVersion(reader);
            }
        });
    }
    int failedSaves = 0;
    for (int i = 0; i < kSaves; ++i) {
        CCfgReader reader(path.c_str());
        WriteVersion(reader, L"this-" + std::to_wstring(i));
        failedSaves += reader.Save() != 1;
    }
    const ChildResult writer = other.Wait();
    writing = false;
    for (std::thread& reader : readers) reader.join();

    ASSERT_TRUE(writer.Passed()) << writer.output;
    EXPECT_EQ(writer.Value("torn_loads"), "0");
    EXPECT_EQ(writer.Value("failed_saves"), "0");
    EXPECT_EQ(failedSaves, 0);
    for (const Counts& count : counts) {
        SCOPED_TRACE("reader " + std::to_string(&count - counts.data()));
        EXPECT_GT(count.loads, 0);
        EXPECT_EQ(count.torn, 0);
        EXPECT_EQ(count.failedLoads, 0);
    }
    CCfgReader reader(path.c_str());
    EXPECT_TRUE(IsWholeVersion(reader));
    const std::wstring version = VersionOf(reader);
    EXPECT_TRUE(version == L"this-199" || version == L"other-199") << Utf8(version);
    EXPECT_EQ(FilesIn(temp.Path()), 1u);  // no temporary copies
}

TEST_F(FaultTest, WritersKilledAtRandomMomentsLeaveAWholeVersionAndNoPileOfTemporaryFiles) {
    const struct {
        const char* label;
        const wchar_t* name;
        std::string empty;  // the configuration before its first version
        TextFileType::Type type;
    } cases[] = {
        {"UTF-8", L"killed8.cfg", "\xEF\xBB\xBF[Run]\r\nversion=\r\n", TextFileType::Utf8},
        {"UTF-16", L"killed16.cfg", Utf16Le("[Run]\r\nversion=\r\n"), TextFileType::UnicodeLE},
    };
    constexpr int kKills = 150;  // per encoding
    // Random but repeatable moments: the writer is ended that long after its first save.
    std::mt19937 random(21);
    std::uniform_int_distribution<int> delayMs(0, 40);
    const std::wstring eventName = EventName(L"FirstSave");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::wstring path = NewVersionedFile(c.name, c.empty);
        int killsThatLeftAFile = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            SCOPED_TRACE(kill);
            // Not plain ASCII, so that the file's encoding matters.
            const std::wstring writer = L"\u00E9crit" + std::to_wstring(kill);
            {
                const KernelHandle firstSave(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
                RunningChild child("SaveRepeatedly",
                                   {.args = {path, writer, L"1000000", eventName}});
                ASSERT_EQ(WaitForSingleObject(firstSave.Get(), 60000), WAIT_OBJECT_0)
                    << child.OutputSoFar();
                Sleep(static_cast<DWORD>(delayMs(random)));
            }  // TerminateProcess, wherever the writer is
            ASSERT_EQ(ReadFileBytes(path).substr(0, 2), c.empty.substr(0, 2));  // the mark stays
            CCfgReader reader(path.c_str());
            ASSERT_EQ(reader.IsInit(), 1);
            EXPECT_EQ(reader.Get_m_FileType(), c.type);
            ASSERT_TRUE(IsWholeVersion(reader));
            // A completed save is never lost: the file holds one of this writer's versions.
            EXPECT_EQ(VersionOf(reader).rfind(writer + L"-", 0), 0u) << Utf8(VersionOf(reader));
            // The writer's first save removed what the writers killed before it left; only its
            // own temporary file can be there.
            const std::size_t left = TemporaryFilesOf(path);
            EXPECT_LE(left, 1u);
            killsThatLeftAFile += left != 0;
        }
        std::printf("%s: %d kills, %d left a temporary file\n", c.label, kKills,
                    killsThatLeftAFile);
        CCfgReader reader(path.c_str());
        WriteVersion(reader, L"after");
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(TemporaryFilesOf(path), 0u);
    }
}

TEST_F(FaultTest, ASaveRemovesTheTemporaryFilesOfItsFileThatEndedProcessesLeft) {
    const std::wstring path = temp.WriteFile(L"left.cfg", "[A]\r\nk=old\r\n");
    const std::wstring own = Hex(GetCurrentProcessId());
    // A process that has ended: the child program without a scenario to run.
    const ChildResult endedChild = RunChildScenario("");
    ASSERT_NE(endedChild.processId, 0u);
    const std::wstring ended = Hex(endedChild.processId);
    const struct {
        const char* label;
        std::wstring name;
        bool old, removed;  // old: last written long before this process started
    } cases[] = {
        {"a save under way in this process", L"left.cfg.tarvox-" + own + L"-7.tmp", false, false},
        {"an earlier process with this process's id", L"left.cfg.tarvox-" + own + L"-8.tmp", true,
         true},
        {"an ended process", L"left.cfg.tarvox-" + ended + L"-0.tmp", false, true},
        {"an ended process, other case", L"LEFT.CFG.TARVOX-" + ended + L"-1.TMP", true, true},
        {"another file's", L"other.cfg.tarvox-" + ended + L"-0.tmp", true, false},
        {"no process id", L"left.cfg.tarvox-zz-0.tmp", true, false},
        {"no number", L"left.cfg.tarvox-" + ended + L".tmp", true, false},
        {"more after the number", L"left.cfg.tarvox-" + ended + L"-0-1.tmp", true, false},
    };
    const SYSTEMTIME longAgo{2001, 1, 0, 1, 12, 0, 0, 0};
    FILETIME longAgoTime{};
    ASSERT_TRUE(SystemTimeToFileTime(&longAgo, &longAgoTime));
    for (const auto& c : cases) {
        const FileHandle file(CreateFileW(temp.WriteFile(c.name, "partial").c_str(),
                                          FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                          nullptr));
        if (c.old) {
            EXPECT_TRUE(SetFileTime(file.Get(), &longAgoTime, &longAgoTime, &longAgoTime));
        }
    }
    CCfgReader reader(path.c_str());
    reader.SetValue(L"A", L"k", L"new");
    EXPECT_EQ(reader.Save(), 1);
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=new\r\n");
    for (const auto& c : cases)
        EXPECT_EQ(GetFileAttributesW((temp / c.name).c_str()) == INVALID_FILE_ATTRIBUTES, c.removed)
            << c.label;
}

TEST_F(FaultTest, SavesToAFullDrive) {
    const std::wstring drive = GetEnv(L"TARVOX_FULL_DRIVE").value_or(L"");
    if (drive.empty()) {
        GTEST_SKIP() << Utf8(GetEnv(L"TARVOX_FULL_DRIVE_UNAVAILABLE")
                                 .value_or(L"no small drive was prepared (scripts/test.sh "
                                           L"prepares one)"));
    }
    const std::wstring folder = drive + L"tarvox-full-" + Hex(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr))
        << "drive " << Utf8(drive) << ": error " << GetLastError();
    struct Removed {
        std::wstring path;
        ~Removed() { RemoveTree(path); }
    } removed{folder};
    std::string before = "[Data]\r\n";
    for (int i = 0; i < 100; ++i)
        before.append("k").append(std::to_string(i)).append("=").append(20, 'o').append("\r\n");
    const std::wstring path = folder + L"\\full.cfg", filler = folder + L"\\filler";
    const struct {
        const char* label;
        std::size_t valueLength;  // of every entry after the change
        int saved;                // while the drive is full
    } cases[] = {
        // The new text needs room the drive does not have: the old file stays whole, and the
        // reader keeps its changes for a later save.
        {"longer", 200, 0},
        // The new text fits where the old one is: written in place.
        {"shorter", 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(CopyFileW(temp.WriteFile(L"before.cfg", before).c_str(), path.c_str(), FALSE));
        CCfgReader reader(path.c_str());
        const std::wstring value(c.valueLength, L'n');
        for (int i = 0; i < 100; ++i)
            reader.SetValue(L"Data", (L"k" + std::to_wstring(i)).c_str(), value.c_str());
        ASSERT_TRUE(FillDrive(filler));

        EXPECT_EQ(reader.Save(), c.saved);
        EXPECT_EQ(TemporaryFilesOf(path), 0u);
        if (c.saved == 0) {
            EXPECT_EQ(ReadFileBytes(path), before);
            EXPECT_EQ(reader.Get_m_HasChanged(), 1);
            EXPECT_EQ(reader.Get_m_Original(), std::wstring(before.begin(), before.end()));
            ASSERT_TRUE(DeleteFileW(filler.c_str()));
            EXPECT_EQ(reader.Save(), 1);
        }
        const std::wstring& saved = reader.Get_m_Original();
        EXPECT_NE(saved.find(L"k99=" + value + L"\r\n"), std::wstring::npos);
        EXPECT_EQ(ReadFileBytes(path), std::string(saved.begin(), saved.end()));
        EXPECT_EQ(reader.Get_m_HasChanged(), 0);
        DeleteFileW(filler.c_str());
    }
}

TEST_F(FaultTest, RegistryValuesLongerThanTheBuffersOrOfOtherTypesAndKeyPathsOver259Characters) {
    // A value of another type larger than the buffer counts as missing: the default answers.
    const std::wstring key = L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020";
    registry.Apply(
        {Binary(key, L"InstallDir", std::vector<BYTE>(600, 'x')), Sz(key, L"", L"C:\\Default")});
    wchar_t buffer[260];
    EXPECT_STREQ(GetCentralRAppDir(buffer, 2020), L"C:\\Default");

    std::wstring path = L"HKEY_CURRENT_USER\\Software\\Tarvox";
    while (path.size() < 420) path += L"\\" + std::wstring(40, L'k');
    std::wstring text;
    CCfgReader reader(path.c_str());
    reader.SetValue(L"\\", L"Deep", L"value");
    EXPECT_EQ(reader.Save(), 1);
    EXPECT_EQ(GetRegValue(text, path.c_str(), L"Deep", 0), 1);
    EXPECT_EQ(text, L"value");
    CCfgReader(path.c_str()).GetValue(text, L"\\", L"Deep", L"");
    EXPECT_EQ(text, L"value");
}

TEST_F(FaultTest, ARegeditExportCutInsideAnExpandableValue) {
    const std::wstring key = L"HKEY_CURRENT_USER\\Software\\Tarvox\\Cut";
    CCfgReader reader(
        temp.WriteFile(L"cut.reg",
                       "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tarvox\\Cut]\r\n"
                       "\"Before\"=\"kept\"\r\n\"Path\"=hex(2):25,00,41,00,50,00,50,"
                       "00,44,00,41,00,\\\r\n  54,00,41,")
            .c_str());
    std::wstring text;
    ASSERT_EQ(reader.IsInit(), 1);
    reader.GetValue(text, key.c_str(), L"\"Before\"", L"");
    EXPECT_EQ(text, L"\"kept\"");
    // The cut value keeps what its bytes give, and nothing beyond them.
    reader.GetValue(text, key.c_str(), L"\"Path\"", L"");
    EXPECT_EQ(text.substr(0, 7), L"SZ_EX:\"");
    EXPECT_LE(text.size(), 7u + 8u);
}

TEST_F(FaultTest, Utf16FilesWithAnOddByteCount) {
    CCfgReader reader(temp.WriteFile(L"odd.cfg", Utf16Le("[A]\r\nk=v\r\n") + "x").c_str());
    std::wstring text;
    reader.GetValue(text, L"A", L"k", L"");
    EXPECT_EQ(text.substr(0, 1), L"v");
}

TEST_F(FaultTest, HostileXmlIsRefusedWithoutHanging) {
    const tarvox::ComScope com(tarvox::ComApartment::SingleThreaded,
                               tarvox::ComBalance::AfterSuccess);
    // Entities that expand ten to the power of nine times.
    std::wstring laughs = L"<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        laughs += L"<!ENTITY l" + std::to_wstring(i) + L" \"";
        for (int j = 0; j < 10; ++j) laughs += L"&l" + std::to_wstring(i - 1) + L";";
        laughs += L"\">";
    }
    laughs += L"]><lolz>&l9;</lolz>";
    std::wstring deep, close;
    for (int i = 0; i < 100000; ++i) deep += L"<a>", close += L"</a>";
    deep += close;
    CXMLHelpers::DocPtr doc;
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(laughs.c_str(), doc), 0);
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(deep.c_str(), doc), 0);
    EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(L"<a><b>1</b></a>", doc), 1);
}

}  // namespace
