#include "config/cfg_file_io.h"

#include <algorithm>

namespace tarvox {
namespace {

constexpr DWORD kRetryStep = 100;

// Runs attempt until it succeeds, or until it fails while the file is gone, or until timeout
// milliseconds have passed since the first attempt.
template <class Attempt>
bool RetryWhileBusy(const std::wstring& path, long long timeout, Attempt attempt) {
    const ULONGLONG start = GetTickCount64();
    while (true) {
        if (attempt()) return true;
        if (!IsExistingFile(path)) return false;
        if (static_cast<long long>(GetTickCount64() - start) >= timeout) return false;
        Sleep(kRetryStep);
    }
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// A temporary file beside the target, removed again unless it was moved into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& target) {
        const std::size_t slash = target.find_last_of(L"\\/");
        const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
        wchar_t name[MAX_PATH + 16] = {};
        if (folder.size() < MAX_PATH - 14 && GetTempFileNameW(folder.c_str(), L"cfg", 0, name)) {
            m_path = name;
        }
    }
    ~TemporaryFile() {
        if (!m_path.empty()) DeleteFileW(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::wstring& Path() const { return m_path; }
    void Release() { m_path.clear(); }

private:
    std::wstring m_path;
};

}  // namespace

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileHandle OpenForReadingWithRetry(const std::wstring& path, long long timeout) {
    FileHandle file;
    RetryWhileBusy(path, timeout, [&] {
        // Delete sharing lets a writer replace the file while it is read: this reader keeps
        // the version it opened, and the next one sees the new version whole.
        file = FileHandle(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        return file.Valid();
    });
    return file;
}

bool ReplaceFileContent(const std::wstring& path, const std::string& bytes, long long timeout) {
    TemporaryFile temporary(path);
    if (temporary.Path().empty()) return false;
    {
        FileHandle file(CreateFileW(temporary.Path().c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid() || !WriteAll(file.Get(), bytes) || !FlushFileBuffers(file.Get())) {
            return false;
        }
    }
    const bool replaced = RetryWhileBusy(path, timeout, [&] {
        // The target must be writable as the configuration's own writers open it: a file that
        // another process holds without write sharing, or a read-only file, is busy.
        if (IsExistingFile(path)) {
            // A read-only configuration is never replaced, whatever the account may do.
            if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY) return false;
            FileHandle probe(CreateFileW(path.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
            if (!probe.Valid()) return false;
        }
        return MoveFileExW(temporary.Path().c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (replaced) temporary.Release();
    return replaced;
}

}  // namespace tarvox
