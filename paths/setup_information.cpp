#include "paths/setup_information.h"

#include <tarvox/registry.h>

#include "foundation/ascii_text.h"

#include <windows.h>

#include <cwchar>

namespace tarvox {

std::wstring ReadSetupValue(const std::wstring& file, const wchar_t* section, const wchar_t* name) {
    wchar_t value[MAX_PATH] = L"";
    GetPrivateProfileStringW(section, name, L"", value, MAX_PATH, file.c_str());
    return value;
}

bool ReadMachineFlag(const wchar_t* keyPath, const wchar_t* name) {
    std::wstring text;
    if (!GetRegValue(text, keyPath, name, 0)) return false;
    if (EqualsIgnoringAsciiCase(text, L"true") || EqualsIgnoringAsciiCase(text, L"yes")) return true;
    return std::wcstol(text.c_str(), nullptr, 10) != 0;
}

}  // namespace tarvox
