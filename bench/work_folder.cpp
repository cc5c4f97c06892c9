#include "work_folder.h"

#include <windows.h>

#include <vector>

namespace bench {

WorkFolder::WorkFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"tarvox-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_path.c_str(), nullptr);
}

WorkFolder::~WorkFolder() {
    WIN32_FIND_DATAW found{};
    std::vector<std::wstring> files;
    const HANDLE search = FindFirstFileW((m_path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const std::wstring& file : files) DeleteFileW(File(file).c_str());
    RemoveDirectoryW(m_path.c_str());
}

}  // namespace bench
