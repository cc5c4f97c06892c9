// File access of configuration files: opening with the busy-file retry and replacing a file's
// content atomically.
#pragma once

#include <windows.h>

#include <string>

namespace tarvox {

// Closes the handle it holds.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : m_handle(other.m_handle) {
        other.m_handle = INVALID_HANDLE_VALUE;
    }
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = other.m_handle;
            other.m_handle = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    void Close() {
        if (Valid()) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

// True when path names an existing file (not a folder).
bool IsExistingFile(const std::wstring& path);

// Opens an existing file for reading with shared read and write access. While that fails and
// the file still exists, tries again every 100 ms until timeout milliseconds have passed.
FileHandle OpenForReadingWithRetry(const std::wstring& path, long long timeout);

// Replaces the content of path with bytes without ever leaving a half-written file: the bytes
// go to a temporary file in the same folder, which then replaces the target. While the target
// is busy (it cannot be opened for writing, or not be replaced), tries again every 100 ms until
// timeout milliseconds have passed. On failure the target keeps its old content.
bool ReplaceFileContent(const std::wstring& path, const std::string& bytes, long long timeout);

}  // namespace tarvox
