// Which edition of the main product a program folder belongs to, decided from marker files,
// folder names and installation media. The rules are plain path logic over a file-system probe,
// so that they can be tested without touching a disk.
#pragma once

#include "foundation/product_identity.h"

#include <functional>
#include <string>
#include <string_view>

namespace tarvox {

struct EditionProbe {
    // An existing file (not a folder).
    std::function<bool(const std::wstring& path)> fileExists;
    // Any directory entry of that name, file or folder.
    std::function<bool(const std::wstring& path)> entryExists;
    // The "SourcePath" of section "Settings" of a media's "Setup.cfg"; "" when it has none.
    std::function<std::wstring(const std::wstring& setupCfgPath)> setupSourcePath;
};

// programFolder ends in a backslash; modulePath is the full file name of the module that holds
// the library. Returns the edition code, or 0 when no rule applies.
int EditionFromProgramFolder(const std::wstring& programFolder, const std::wstring& modulePath,
                             const EditionProbe& probe);

// The folder of installation media for a program folder (ending in a backslash): the program
// folder itself when it holds "Setup.cfg" or "Autorun.inf", two levels up from a "Prg_W32" or
// "Prg_X64" folder, else three levels up. "" when the path has too few components for that.
std::wstring MediaFolderOf(const std::wstring& programFolder, const EditionProbe& probe);

}  // namespace tarvox
