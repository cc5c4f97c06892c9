#include "paths/special_folders.h"

#include <tarvox/registry.h>

#include "foundation/com_scope.h"
#include "foundation/registry_walk.h"
#include "foundation/text_compare.h"
#include "foundation/unique_handle.h"
#include "paths/path_var_engine.h"

#include <objbase.h>

namespace tarvox {

namespace {

constexpr GUID Guid(unsigned long a, unsigned short b, unsigned short c, unsigned char d0,
                    unsigned char d1, unsigned char d2, unsigned char d3, unsigned char d4,
                    unsigned char d5, unsigned char d6, unsigned char d7) {
    return GUID{a, b, c, {d0, d1, d2, d3, d4, d5, d6, d7}};
}

}  // namespace

const std::vector<KnownFolderName>& KnownFolderNames() {
    static const std::vector<KnownFolderName> table = {
        {L"AppData",
         Guid(0x3EB685DB, 0x65F9, 0x4CF6, 0xA0, 0x3A, 0xE3, 0xEF, 0x65, 0x72, 0x9F, 0x3D)},
        {L"Local AppData",
         Guid(0xF1B32785, 0x6FBA, 0x4FCF, 0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91)},
        {L"My Video",
         Guid(0x18989B1D, 0x99B5, 0x455B, 0x84, 0x1C, 0xAB, 0x7C, 0x74, 0xE4, 0xDD, 0xFC)},
        {L"My Pictures",
         Guid(0x33E28130, 0x4E1E, 0x4676, 0x83, 0x5A, 0x98, 0x39, 0x5C, 0x3B, 0xC3, 0xBB)},
        {L"Desktop",
         Guid(0xB4BFCC3A, 0xDB2C, 0x424C, 0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41)},
        {L"History",
         Guid(0xD9DC8A3B, 0xB784, 0x432E, 0xA7, 0x81, 0x5A, 0x11, 0x30, 0xA7, 0x59, 0x63)},
        {L"NetHood",
         Guid(0xC5ABBF53, 0xE17F, 0x4121, 0x89, 0x00, 0x86, 0x62, 0x6F, 0xC2, 0xC9, 0x73)},
        {L"Cookies",
         Guid(0x2B0F765D, 0xC0E9, 0x4171, 0x90, 0x8E, 0x08, 0xA6, 0x11, 0xB8, 0x4F, 0xF6)},
        {L"Favorites",
         Guid(0x1777F761, 0x68AD, 0x4D8A, 0x87, 0xBD, 0x30, 0xB7, 0x59, 0xFA, 0x33, 0xDD)},
        {L"SendTo",
         Guid(0x8983036C, 0x27C0, 0x404B, 0x8F, 0x08, 0x10, 0x2D, 0x10, 0xDC, 0xFD, 0x74)},
        {L"Start Menu",
         Guid(0x625B53C3, 0xAB48, 0x4EC1, 0xBA, 0x1F, 0xA1, 0xEF, 0x41, 0x46, 0xFC, 0x19)},
        {L"My Music",
         Guid(0x4BD8D571, 0x6D19, 0x48D3, 0xBE, 0x97, 0x42, 0x22, 0x20, 0x08, 0x0E, 0x43)},
        {L"Programs",
         Guid(0xA77F5D77, 0x2E2B, 0x44C3, 0xA6, 0xA2, 0xAB, 0xA6, 0x01, 0x05, 0x4A, 0x51)},
        {L"Recent",
         Guid(0xAE50C081, 0xEBD2, 0x438A, 0x86, 0x55, 0x8A, 0x09, 0x2E, 0x34, 0x98, 0x7A)},
        {L"CD Burning",
         Guid(0x9E52AB10, 0xF80D, 0x49DF, 0xAC, 0xB8, 0x43, 0x30, 0xF5, 0x68, 0x78, 0x55)},
        {L"PrintHood",
         Guid(0x9274BD8D, 0xCFD1, 0x41C3, 0xB3, 0x5E, 0xB1, 0x3F, 0x55, 0xA7, 0x58, 0xF4)},
        {L"Startup",
         Guid(0xB97D20BB, 0xF46A, 0x4C97, 0xBA, 0x10, 0x5E, 0x36, 0x08, 0x43, 0x08, 0x54)},
        {L"Administrative Tools",
         Guid(0x724EF170, 0xA42D, 0x4FEF, 0x9F, 0x26, 0xB6, 0x0E, 0x84, 0x6F, 0xBA, 0x4F)},
        {L"Cache",
         Guid(0x352481E8, 0x33BE, 0x4251, 0xBA, 0x85, 0x60, 0x07, 0xCA, 0xED, 0xCF, 0x9D)},
        {L"Templates",
         Guid(0xA63293E8, 0x664E, 0x48DB, 0xA0, 0x79, 0xDF, 0x75, 0x9E, 0x05, 0x09, 0xF7)},
        {L"Fonts",
         Guid(0xFD228CB7, 0xAE11, 0x4AE3, 0x86, 0x4C, 0x16, 0xF3, 0x91, 0x0A, 0xB8, 0xFE)},
        {L"Common Desktop",
         Guid(0xC4AA340D, 0xF20F, 0x4863, 0xAF, 0xEF, 0xF8, 0x7E, 0xF2, 0xE6, 0xBA, 0x25)},
        {L"Common Start Menu",
         Guid(0xA4115719, 0xD62E, 0x491D, 0xAA, 0x7C, 0xE7, 0x4B, 0x8B, 0xE3, 0xB0, 0x67)},
        {L"CommonVideo",
         Guid(0x2400183A, 0x6185, 0x49FB, 0xA2, 0xD8, 0x4A, 0x39, 0x2A, 0x60, 0x2B, 0xA3)},
        {L"CommonPictures",
         Guid(0xB6EBFB86, 0x6907, 0x413C, 0x9A, 0xF7, 0x4F, 0xC2, 0xAB, 0xF0, 0x7C, 0xC5)},
        {L"Common Programs",
         Guid(0x0139D44E, 0x6AFE, 0x49F2, 0x86, 0x90, 0x3D, 0xAF, 0xCA, 0xE6, 0xFF, 0xB8)},
        {L"CommonMusic",
         Guid(0x3214FAB5, 0x9757, 0x4298, 0xBB, 0x61, 0x92, 0xA9, 0xDE, 0xAA, 0x44, 0xFF)},
        {L"Common Administrative Tools",
         Guid(0xD0384E7D, 0xBAC3, 0x4797, 0x8F, 0x14, 0xCB, 0xA2, 0x29, 0xB3, 0x92, 0xB5)},
        {L"Common Startup",
         Guid(0x82A5EA35, 0xD9CD, 0x47C5, 0x96, 0x29, 0xE1, 0x5D, 0x2F, 0x71, 0x4E, 0x6E)},
        {L"Common Documents",
         Guid(0xED4824AF, 0xDCE4, 0x45A8, 0x81, 0xE2, 0xFC, 0x79, 0x65, 0x08, 0x36, 0x34)},
        {L"OEM Links",
         Guid(0xC1BAE2D0, 0x10DF, 0x4334, 0xBE, 0xDD, 0x7A, 0xA2, 0x0B, 0x22, 0x7A, 0x9D)},
        {L"Common Templates",
         Guid(0xB94237E7, 0x57AC, 0x4347, 0x91, 0x51, 0xB0, 0x8C, 0x6C, 0x32, 0xD1, 0xF7)},
        {L"Common AppData",
         Guid(0x62AB5D82, 0xFDC1, 0x4DC3, 0xA9, 0xDD, 0x07, 0x0D, 0x1D, 0x49, 0x5D, 0x97)},
        {L"Personal",
         Guid(0xFDD39AD0, 0x238F, 0x46AF, 0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7)},
        {L"OEM Links",
         Guid(0xC1BAE2D0, 0x10DF, 0x4334, 0xBE, 0xDD, 0x7A, 0xA2, 0x0B, 0x22, 0x7A, 0x9D)},
    };
    return table;
}

}  // namespace tarvox

namespace {

using tarvox::CompareSystemIgnoringCase;

// Names in ascending order with the table position of each; a repeated name keeps its first.
struct KnownFolderIndex {
    std::vector<std::wstring> names;
    std::vector<std::size_t> rows;
};

const KnownFolderIndex& NameIndex() {
    static const KnownFolderIndex index = [] {
        KnownFolderIndex built;
        const auto& table = tarvox::KnownFolderNames();
        for (std::size_t row = 0; row < table.size(); ++row) {
            long long position = 0;
            if (FindSortedString(table[row].name, built.names, position)) continue;
            built.names.insert(built.names.begin() + position, table[row].name);
            built.rows.insert(built.rows.begin() + position, row);
        }
        return built;
    }();
    return index;
}

using GetKnownFolderPathFunction = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);

// SHGetKnownFolderPath of the already loaded shell module, looked up once; a failure is kept.
GetKnownFolderPathFunction ShellFunction() {
    static const GetKnownFolderPathFunction function = [] {
        HMODULE shell = GetModuleHandleW(L"Shell32.dll");
        return shell ? reinterpret_cast<GetKnownFolderPathFunction>(
                           GetProcAddress(shell, "SHGetKnownFolderPath"))
                     : nullptr;
    }();
    return function;
}

// Every value is read whole, whatever its type; one that cannot be read is skipped and the
// listing goes on.
void AddShellFoldersOf(HKEY root, std::vector<std::wstring>& names,
                       std::vector<std::wstring>& paths) {
    tarvox::WalkShellFolders(root, tarvox::OnUnreadable::Skip,
                             [&](const tarvox::RegValueItem& item) {
                                 const std::wstring valueName(item.name);
                                 if (valueName.size() < 2 || item.bytes < 3 ||
                                     valueName[0] == L'{' || valueName[0] == L'!') {
                                     return tarvox::WalkStep::Next;
                                 }
                                 const std::wstring registryData = tarvox::StringData(item);

                                 std::wstring folder;
                                 if (!GetKnownFolderByName(valueName.c_str(), folder))
                                     folder = registryData;
                                 if (folder.empty()) return tarvox::WalkStep::Next;

                                 long long position = 0;
                                 if (FindSortedString(valueName.c_str(), names, position)) {
                                     paths[position] = registryData;
                                 } else {
                                     names.insert(names.begin() + position, valueName);
                                     paths.insert(paths.begin() + position, folder);
                                 }
                                 return tarvox::WalkStep::Next;
                             });
}

}  // namespace

int GetKnownFolderPath(const GUID& id, std::wstring& out) {
    out.clear();
    const GetKnownFolderPathFunction function = ShellFunction();
    if (function == nullptr) return 0;
    // The thread's COM state is left as it was found: every initialisation that took is undone.
    const tarvox::ComScope com(tarvox::ComApartment::Multithreaded,
                               tarvox::ComBalance::AfterSuccess);
    tarvox::CoTaskMemString path;
    const HRESULT result = function(id, 0, nullptr, path.Put());
    if (SUCCEEDED(result) && path.Valid()) out = path.Get();
    return SUCCEEDED(result) && !out.empty() ? 1 : 0;
}

int GetKnownFolderByName(const wchar_t* name, std::wstring& out) {
    out.clear();
    if (name == nullptr || *name == L'\0') return 0;
    const KnownFolderIndex& index = NameIndex();
    long long position = 0;
    if (!FindSortedString(name, index.names, position)) return 0;
    return GetKnownFolderPath(tarvox::KnownFolderNames()[index.rows[position]].id, out);
}

int ListShellFolders(std::vector<std::wstring>& names, std::vector<std::wstring>& paths) {
    names.clear();
    paths.clear();
    AddShellFoldersOf(HKEY_CURRENT_USER, names, paths);
    AddShellFoldersOf(HKEY_LOCAL_MACHINE, names, paths);
    return names.empty() ? 0 : 1;
}

int GetShellFolder(const wchar_t* name, std::wstring& out) {
    out.clear();
    if (name == nullptr || *name == L'\0') return 0;
    std::vector<std::wstring> names, paths;
    ListShellFolders(names, paths);
    long long position = 0;
    const bool listed = FindSortedString(name, names, position) == 1;
    if (listed) out = paths[position];
    // A listed folder may be empty (machine data that replaced the user's with an empty text):
    // "AppData" then still falls back to the environment and the temporary folder.
    if (!out.empty() || !tarvox::EqualsIgnoringAsciiCase(name, L"AppData")) return listed ? 1 : 0;

    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetEnvironmentVariableW(L"AppData", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) length = GetTempPathW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) return 0;
    out.assign(buffer, length);
    return 1;
}
