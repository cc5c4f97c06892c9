// Special folders of the shell, looked up by their "Shell Folders" value names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder the shell resolves for a known-folder identifier. 1 and the path, or 0 and "".
int GetKnownFolderPath(const GUID& id, std::wstring& out);

// The folder of a "Shell Folders" value name ("AppData", "Personal", ...) through the
// known-folder table; 0 and "" for a name that is not in it.
int GetKnownFolderByName(const wchar_t* name, std::wstring& out);

// Lists the "Shell Folders" of both hives: names in ascending order (case ignored) with their
// folders at the same indices. Where both hives name a folder, HKEY_LOCAL_MACHINE's data wins.
// 1 when at least one folder was listed.
int ListShellFolders(std::vector<std::wstring>& names, std::vector<std::wstring>& paths);

// The folder for one value name; "AppData" falls back to the environment and then to the
// temporary folder. 1 when out holds a folder.
int GetShellFolder(const wchar_t* name, std::wstring& out);

namespace tarvox {

struct KnownFolderName {
    const wchar_t* name;
    GUID id;
};

// The known-folder table, in its fixed order (35 rows, "OEM Links" twice).
const std::vector<KnownFolderName>& KnownFolderNames();

}  // namespace tarvox
