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
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'a' + number % 16));
        number /= 16;
    } while (number != 0);
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
        std::wstring candidate =
            base + L"tarvox-test-" + InLetters(GetCurrentProcessId()) + L"-" + InLetters(++counter);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            m_path = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::wstring TempFolder::operator/(std::wstring_view relative) const {
    return m_path + L"\\" + std::wstring(relative);
}

std::wstring TempFolder::MakeFolder(std::wstring_view relative) const {
    std::wstring path = m_path;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = relative.find(L'\\', start);
        const std::wstring_view part = relative.substr(
            start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        if (!part.empty()) {
            path += L"\\";
            path += part;
            CreateDirectoryW(path.c_str(), nullptr);
        }
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    return path;
}

std::wstring TempFolder::WriteFile(std::wstring_view relative, std::string_view bytes) const {
    if (const auto slash = relative.rfind(L'\\'); slash != std::wstring_view::npos) {
        MakeFolder(relative.substr(0, slash));
    }
    const std::wstring path = *this / relative;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write a test file");
    return path;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void RemoveTree(const std::wstring& path) {
    if (path.empty()) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::size_t FilesIn(const std::wstring& folder) {
    std::size_t count = 0;
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileW(search.Get(), &found));
    return count;
}

}  // namespace tarvox::test
