#include "tests/support/temp_folder.h"

#include "foundation/unique_handle.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace tarvox::test {

namespace {

// A number written with the letters a to p. Folder names then hold no digits, so code that
// looks for years in paths (AutoCAD install folders) is not misled by a process id.
std::wstring InLetters(unsigned number) {
    std::wstring text;
    do text.insert(text.begin(), static_cast<wchar_t>(L'a' + number % 16));
    while ((number /= 16) != 0);
    return text;
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
    static std::atomic<unsigned> counter{0};
    std::wstring base(temp, length);
    if (base.back() != L'\\') base += L'\\';
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_path =
            base + L"tarvox-test-" + InLetters(GetCurrentProcessId()) + L"-" + InLetters(++counter);
        if (CreateDirectoryW(m_path.c_str(), nullptr)) return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::wstring TempFolder::operator/(std::wstring_view relative) const {
    return m_path + L"\\" + std::wstring(relative);
}

std::wstring TempFolder::MakeFolder(std::wstring_view relative) const {
    std::wstring path = m_path;
    for (std::size_t start = 0, end = 0; end != relative.npos; start = end + 1) {
        end = relative.find(L'\\', start);
        const std::wstring_view part = relative.substr(start, end - start);
        if (!part.empty()) CreateDirectoryW(path.append(L"\\").append(part).c_str(), nullptr);
    }
    return path;
}

std::wstring TempFolder::WriteFile(std::wstring_view relative, std::string_view bytes) const {
    if (const auto slash = relative.rfind(L'\\'); slash != relative.npos)
        MakeFolder(relative.substr(0, slash));
    const std::wstring path = *this / relative;
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write a test file");
    return path;
}

std::string ReadFileBytes(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

void RemoveTree(const std::wstring& path) {
    if (path.empty()) return;
    WIN32_FIND_DATAW found;
    for (const FindHandle search(FindFirstFileW((path + L"\\*").c_str(), &found)); search;) {
        const std::wstring name = found.cFileName, child = path + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L"..") RemoveTree(child);
        } else {
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(child.c_str());
        }
        if (!FindNextFileW(search.Get(), &found)) break;
    }  // the search is closed before its folder goes
    RemoveDirectoryW(path.c_str());
}

std::size_t FilesMatching(const std::wstring& pattern) {
    std::size_t count = 0;
    WIN32_FIND_DATAW found;
    for (const FindHandle search(FindFirstFileW(pattern.c_str(), &found)); search;) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
        if (!FindNextFileW(search.Get(), &found)) break;
    }
    return count;
}

std::size_t FilesIn(const std::wstring& folder) { return FilesMatching(folder + L"\\*"); }

}  // namespace tarvox::test
