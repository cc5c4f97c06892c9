// Stand-in for the family's Revit installer module "InstallRevitExtension.dll". Its table entry
// 44 lists the path variables of the installed Revit releases: for each key
// "HKEY_LOCAL_MACHINE\SOFTWARE\Autodesk\Revit\Autodesk Revit <year>" with an
// "InstallationLocation", %REVIT<year>% names that folder and %REVIT<year>_ADDINS% the
// all-users add-in folder of that release.
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr int kEntries = 48;
constexpr int kVariablesEntry = 43;

struct Variables {
    std::wstring names;   // null-terminated names, ending with an empty one
    std::wstring values;  // the same for the values
};

std::wstring ProgramData() {
    wchar_t buffer[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer)
                                           : std::wstring(L"C:\\ProgramData");
}

Variables ReadVariables() {
    Variables list;
    HKEY revit = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Autodesk\\Revit", 0, KEY_READ, &revit) ==
        ERROR_SUCCESS) {
        const std::wstring prefix = L"Autodesk Revit ";
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD length = 256;
            if (RegEnumKeyExW(revit, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            const std::wstring release(name, length);
            if (release.compare(0, prefix.size(), prefix) != 0) continue;
            const std::wstring year = release.substr(prefix.size());
            wchar_t folder[MAX_PATH] = L"";
            DWORD bytes = sizeof(folder) - sizeof(wchar_t);
            if (RegGetValueW(revit, name, L"InstallationLocation", RRF_RT_REG_SZ, nullptr, folder,
                             &bytes) != ERROR_SUCCESS) {
                continue;
            }
            std::wstring location = folder;
            if (!location.empty() && location.back() == L'\\') location.pop_back();
            list.names += L"%REVIT" + year + L"%" + L'\0' + L"%REVIT" + year + L"_ADDINS%" + L'\0';
            list.values +=
                location + L'\0' + ProgramData() + L"\\Autodesk\\Revit\\Addins\\" + year + L'\0';
        }
        RegCloseKey(revit);
    }
    list.names += L'\0';
    list.values += L'\0';
    return list;
}

// With a null names buffer: the characters needed. With a buffer: the names, and the values
// through the second argument (owned by the module, valid until the next call).
int ListVariables(wchar_t* names, const wchar_t** values, long long* length) {
    static Variables current;
    current = ReadVariables();
    if (length == nullptr) return 0;
    if (names == nullptr) {
        *length = static_cast<long long>(current.names.size());
        return 1;
    }
    if (*length < static_cast<long long>(current.names.size())) return 0;
    current.names.copy(names, current.names.size());
    if (values != nullptr) *values = current.values.c_str();
    return 1;
}

int NotProvided() { return 0; }

const std::vector<void*>& Table() {
    static const std::vector<void*> table = [] {
        std::vector<void*> entries(kEntries, reinterpret_cast<void*>(&NotProvided));
        entries[kVariablesEntry] = reinterpret_cast<void*>(&ListVariables);
        return entries;
    }();
    return table;
}

}  // namespace

extern "C" __declspec(dllexport) long long GetInstaller() {
    return reinterpret_cast<long long>(Table().data());
}
