// Reading the few settings the edition rules need from setup files and product keys.
#pragma once

#include <string>

namespace tarvox {

// One value of a section of a setup file ("Setup.cfg", "FileInfo.txt"); "" when missing.
std::wstring ReadSetupValue(const std::wstring& file, const wchar_t* section, const wchar_t* name);

// A boolean value of a product key (a registry path); missing counts as false.
bool ReadMachineFlag(const wchar_t* keyPath, const wchar_t* name);

}  // namespace tarvox
