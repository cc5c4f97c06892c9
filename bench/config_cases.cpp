// Configuration files: loading, lookups, edits and saving, against SimpleIni and the Win32
// profile functions on the same generated files.
#include "cases.h"
#include "inputs.h"
#include "measure.h"

#include <tarvox/config.h>

#include <windows.h>

// This file holds the one copy of SimpleIni's template definitions.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <memory>
#include <string>
#include <vector>

namespace bench {
namespace {

std::string Label(int lines) { return std::to_string(lines) + " lines"; }

// SimpleIni reads UTF-8 or the ANSI code page only: a UTF-16 file is converted first, as a
// caller of SimpleIni would have to.
bool LoadWithSimpleIni(CSimpleIniW& ini, const std::wstring& path, Encoding encoding) {
    ini.SetUnicode(true);
    if (encoding == Encoding::Utf8) return ini.LoadFile(path.c_str()) == SI_OK;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::wstring text(static_cast<std::size_t>(size.QuadPart) / 2, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr);
    CloseHandle(file);
    if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
    const std::string bytes = ToUtf8(text);
    return ini.LoadData(bytes.data(), bytes.size()) == SI_OK;
}

// Everything the profile functions know of a file: its section names and each section's
// lines. The file is a fresh copy each time, so that no cached parse is measured.
void LoadWithProfileFunctions(const std::wstring& path, std::vector<wchar_t>& buffer) {
    const DWORD room = static_cast<DWORD>(buffer.size());
    const DWORD length = GetPrivateProfileSectionNamesW(buffer.data(), room, path.c_str());
    const std::wstring names(buffer.data(), length);
    for (std::size_t at = 0; at < names.size();) {
        const std::wstring section = names.c_str() + at;
        at += section.size() + 1;
        GetPrivateProfileSectionW(section.c_str(), buffer.data(), room, path.c_str());
    }
}

std::wstring FreshCopy(const WorkFolder& folder, const std::wstring& source) {
    static int counter = 0;
    const std::wstring copy = folder.File(L"copy" + std::to_wstring(++counter) + L".ini");
    CopyFileW(source.c_str(), copy.c_str(), FALSE);
    return copy;
}

}  // namespace

void RunConfigLoad(Report& report, const WorkFolder& folder, const Options& options) {
    const std::vector<int> sizes =
        options.quick ? std::vector<int>{1000, 10000} : std::vector<int>{1000, 10000, 100000};
    std::vector<wchar_t> profileBuffer(8 * 1024 * 1024);
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16}) {
        const std::string code = encoding == Encoding::Utf8 ? "UTF-8" : "UTF-16";
        double tenThousand = 0;
        double hundredThousand = 0;
        for (const int lines : sizes) {
            const ConfigInput input = MakeConfigText(lines, 7);
            const std::wstring path =
                folder.File(L"load" + std::to_wstring(lines) +
                            (encoding == Encoding::Utf8 ? L"u8" : L"u16") + L".ini");
            WriteTextFile(path, input.text, encoding);
            const int repetitions = options.quick ? 3 : (lines >= 100000 ? 7 : 15);

            const double ours = BestSeconds(repetitions, [&] {
                CCfgReader reader;
                reader.Load(path.c_str());
            });
            const double simpleIni = BestSeconds(repetitions, [&] {
                CSimpleIniW ini;
                LoadWithSimpleIni(ini, path, encoding);
            });
            std::wstring copy;
            const double profile = BestSeconds(
                options.quick || lines >= 100000 ? 1 : 3,
                [&] { LoadWithProfileFunctions(copy, profileBuffer); },
                [&] { copy = FreshCopy(folder, path); });

            Row row{"Load " + code, Label(lines),    "ms", ours * 1e3,
                    "SimpleIni",    simpleIni * 1e3, ""};
            report.AddRatioGoal(row, 1.5, "at least 1.5x faster");
            report.Add({"Load " + code, Label(lines), "ms", ours * 1e3,
                        "GetPrivateProfileSection(Names)W", profile * 1e3, ""});
            if (lines == 10000) tenThousand = ours;
            if (lines == 100000) hundredThousand = ours;

            if (encoding == Encoding::Utf8 && lines >= 10000) {
                const long long before = LiveHeapBytes();
                long long oursBytes = 0;
                {
                    CCfgReader reader;
                    reader.Load(path.c_str());
                    oursBytes = LiveHeapBytes() - before;
                }
                long long theirBytes = 0;
                {
                    CSimpleIniW ini;
                    LoadWithSimpleIni(ini, path, encoding);
                    theirBytes = LiveHeapBytes() - before;
                }
                report.Add({"Memory held after load", Label(lines) + " " + code, "MB",
                            static_cast<double>(oursBytes) / 1e6, "SimpleIni",
                            static_cast<double>(theirBytes) / 1e6, ""});
            }
        }
        if (hundredThousand > 0) {
            report.AddGrowthGoal("Load " + code, "100,000 / 10,000 lines", tenThousand,
                                 hundredThousand, 15);
        }
    }
}

void RunLookups(Report& report, const WorkFolder& folder, const Options& options) {
    const ConfigInput input = MakeConfigText(10000, 11);
    const std::wstring path = folder.File(L"lookups.ini");
    WriteTextFile(path, input.text, Encoding::Utf8);

    Random random(3);
    std::vector<EntryKey> existing;
    std::vector<EntryKey> missing;
    for (int i = 0; i < 10000; ++i) {
        const EntryKey& key = input.entries[static_cast<std::size_t>(
            random.Below(static_cast<int>(input.entries.size())))];
        existing.push_back(key);
        missing.push_back({key.section, key.name + L"Missing"});
    }

    CCfgReader reader;
    reader.Load(path.c_str());
    CSimpleIniW ini;
    LoadWithSimpleIni(ini, path, Encoding::Utf8);
    const int repetitions = options.quick ? 3 : 9;
    const int profileCalls = 2000;

    for (const bool present : {true, false}) {
        const std::vector<EntryKey>& keys = present ? existing : missing;
        std::size_t sink = 0;
        const double ours = BestSeconds(repetitions,
                                        [&] {
                                            std::wstring value;
                                            for (const EntryKey& key : keys) {
                                                reader.GetValue(value, key.section.c_str(),
                                                                key.name.c_str(), nullptr);
                                                sink += value.size();
                                            }
                                        }) /
                            static_cast<double>(keys.size());
        const double simpleIni =
            BestSeconds(repetitions,
                        [&] {
                            for (const EntryKey& key : keys) {
                                const wchar_t* value =
                                    ini.GetValue(key.section.c_str(), key.name.c_str(), nullptr);
                                sink += value != nullptr ? 1 : 0;
                            }
                        }) /
            static_cast<double>(keys.size());
        const double profile =
            BestSeconds(options.quick ? 1 : 3,
                        [&] {
                            wchar_t value[1024];
                            for (int i = 0; i < profileCalls; ++i) {
                                const EntryKey& key = keys[static_cast<std::size_t>(i)];
                                sink +=
                                    GetPrivateProfileStringW(key.section.c_str(), key.name.c_str(),
                                                             L"", value, 1024, path.c_str());
                            }
                        }) /
            profileCalls;
        const std::string what = present ? "existing entry" : "missing entry";
        report.Add({"Lookup", what + " (10,000-line file)", "ns/call", ours * 1e9,
                    "SimpleIni GetValue", simpleIni * 1e9, ""});
        report.AddRatioGoal({"Lookup", what + " (10,000-line file)", "ns/call", ours * 1e9,
                             "GetPrivateProfileStringW", profile * 1e9, ""},
                            10, "at least 10x faster");
        if (sink == 42) std::printf(" ");  // keeps the loops from being optimised away
    }
}

void RunEdits(Report& report, const WorkFolder& folder, const Options& options) {
    const ConfigInput input = MakeConfigText(1000, 13);
    const std::wstring base = folder.File(L"edits.ini");
    WriteTextFile(base, input.text, Encoding::Utf8);
    const int repetitions = options.quick ? 1 : 5;

    double smaller = 0;
    double smallerWithSave = 0;
    for (const int count : {1000, 10000}) {
        Random random(static_cast<unsigned long long>(count));
        std::vector<std::wstring> names;
        for (int i = 0; i < count; ++i)
            names.push_back(L"New" + std::to_wstring(random.Next() % 100000000) + L"_" +
                            std::to_wstring(i));
        const std::wstring& section = input.largeSection;

        std::wstring copy;
        std::unique_ptr<CCfgReader> reader;
        const double ours = BestSeconds(
            repetitions,
            [&] {
                for (const std::wstring& name : names)
                    reader->SetValue(section.c_str(), name.c_str(), L"C:\\Tarvo\\Neu");
            },
            [&] {
                copy = FreshCopy(folder, base);
                reader = std::make_unique<CCfgReader>();
                reader->Load(copy.c_str());
            });
        const double start = Now();
        reader->Save();
        const double saveSeconds = Now() - start;
        reader.reset();

        std::unique_ptr<CSimpleIniW> ini;
        const double simpleIni = BestSeconds(
            repetitions,
            [&] {
                for (const std::wstring& name : names)
                    ini->SetValue(section.c_str(), name.c_str(), L"C:\\Tarvo\\Neu");
            },
            [&] {
                copy = FreshCopy(folder, base);
                ini = std::make_unique<CSimpleIniW>();
                LoadWithSimpleIni(*ini, copy, Encoding::Utf8);
            });
        const double saveStart = Now();
        ini->SaveFile(copy.c_str(), true);
        const double theirSave = Now() - saveStart;

        const std::string what = std::to_string(count) + " new entries into one section";
        report.Add({"Edit", what, "ms", ours * 1e3, "SimpleIni SetValue", simpleIni * 1e3, ""});
        report.Add({"Save", "after " + std::to_string(count) + " new entries", "ms",
                    saveSeconds * 1e3, "SimpleIni SaveFile", theirSave * 1e3, ""});
        if (count == 1000) {
            smaller = ours;
            smallerWithSave = ours + saveSeconds;
            const std::wstring profileCopy = FreshCopy(folder, base);
            const double start2 = Now();
            for (const std::wstring& name : names) {
                WritePrivateProfileStringW(section.c_str(), name.c_str(), L"C:\\Tarvo\\Neu",
                                           profileCopy.c_str());
            }
            WritePrivateProfileStringW(nullptr, nullptr, nullptr, profileCopy.c_str());  // flush
            const double profile = Now() - start2;
            report.Add({"Edit and save", what, "ms", (ours + saveSeconds) * 1e3,
                        "WritePrivateProfileStringW", profile * 1e3, ""});
        } else {
            report.AddGrowthGoal("Edit", "10,000 / 1,000 new entries", smaller, ours, 15);
            // Saving places the waiting entries, so the edit's whole cost includes it.
            report.AddGrowthGoal("Edit and save", "10,000 / 1,000 new entries", smallerWithSave,
                                 ours + saveSeconds, 15);
        }
    }
}

}  // namespace bench
