// The file test shared by the library.
#include <tarvox/modules.h>

#include "foundation/path_test.h"
#include "foundation/unique_handle.h"

namespace tarvox {

bool IsQualifiedPath(std::wstring_view path) {
    return path.starts_with(L"\\\\") || (path.size() >= 2 && path[1] == L':') ||
           path.starts_with(L".\\") || path.starts_with(L"..\\");
}

std::wstring PathToTest(std::wstring_view path) {
    if (IsQualifiedPath(path) && path.size() >= 2 && path.back() == L'\\') {
        const wchar_t before = path[path.size() - 2];
        if (before != L'\\' && before != L':') path.remove_suffix(1);
    }
    return std::wstring(path);
}

}  // namespace tarvox

int PathExists(const wchar_t* path, int* isFolder) {
    if (isFolder != nullptr) *isFolder = 0;
    if (path == nullptr || path[0] == L'\0' || path[1] == L'\0') return 0;
    const std::wstring tested = tarvox::PathToTest(path);

    // A path with wildcards exists when an entry matches it; the first match decides
    // between file and folder.
    WIN32_FIND_DATAW found;
    if (!tarvox::FindHandle(FindFirstFileW(tested.c_str(), &found)).Valid()) return 0;

    const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder == nullptr) return folder ? 0 : 1;
    *isFolder = folder ? 1 : 0;
    return 1;
}
