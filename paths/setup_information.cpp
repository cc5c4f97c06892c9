#include "paths/setup_information.h"

#include <tarvox/config.h>

namespace tarvox {

std::wstring ReadSetupValue(const std::wstring& file, const wchar_t* section, const wchar_t* name) {
    CCfgReader reader(file.c_str());
    std::wstring value;
    if (!reader.IsInit() || !reader.GetValue(value, section, name, L"")) return {};
    return value;
}

bool ReadMachineFlag(const wchar_t* keyPath, const wchar_t* name) {
    // The registry form of a configuration keeps the key's own values in section "\".
    CCfgReader reader(keyPath);
    int flag = 0;
    if (!reader.IsInit()) return false;
    reader.GetNumberValue(flag, L"\\", name, 0, 1);
    return flag != 0;
}

}  // namespace tarvox
