// CfgKern, the family's configuration module, as far as this library uses it: its exports
// table answers slot 1, the lookup of one named folder in a folder list file ("Ordner.ini").
#include <tarvox/config.h>

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kResultChars = 260;

// Slot 0: the table's layout version.
long long TableVersion() { return 1; }

// Slot 1: the folder stored under key in section of an ini-style folder list file. The folder
// list keeps folders with path variables; they come back expanded, as a configuration reader
// of the same file hands them out. 1 and the folder in result (260 characters) when the key is
// there; 0 and an empty result otherwise, or when the folder does not fit.
int ReadFolderValue(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                    wchar_t* result) {
    if (result == nullptr) return 0;
    result[0] = L'\0';
    if (file == nullptr || section == nullptr || key == nullptr || *key == L'\0') return 0;
    // A default that no real value has tells a missing key from an empty one.
    constexpr wchar_t kMissing[] = L"\x01\x02missing\x02\x01";
    wchar_t value[kResultChars];
    const DWORD length =
        GetPrivateProfileStringW(section, key, kMissing, value, kResultChars, file);
    if (std::wcscmp(value, kMissing) == 0) return 0;
    if (length >= kResultChars - 1) return 0;  // cut off: longer than a folder can be
    std::wstring withVars;
    std::wstring folder;
    CCfgReader::GetPathWithoutVars(withVars, folder, value, 0);
    if (folder.size() >= kResultChars) return 0;
    std::wmemcpy(result, folder.c_str(), folder.size() + 1);
    return 1;
}

void* const kTable[] = {
    reinterpret_cast<void*>(&TableVersion),
    reinterpret_cast<void*>(&ReadFolderValue),
};

}  // namespace

// Exported under the decorated name of "__int64 GetExportsObject(void)" (see cfgkern.def).
extern "C" long long ExportsObject() { return reinterpret_cast<long long>(&kTable[0]); }
