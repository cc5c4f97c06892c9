#include "config/cfg_file_io.h"

#include <algorithm>
#include <cwchar>

namespace tarvox {
namespace {

constexpr DWORD kFirstRetryStep = 1;
constexpr DWORD kLongestRetryStep = 100;

// Runs attempt until it succeeds, or until it fails while the file is gone, or until timeout
// milliseconds have passed since the first attempt. The pauses start short and grow: a file
// that readers hold for a moment each (a rename over an open file fails) is free again
// within a millisecond or two, while a file locked for long is not asked for too often.
template <class Attempt>
bool RetryWhileBusy(const std::wstring& path, long long timeout, Attempt attempt) {
    const ULONGLONG start = GetTickCount64();
    DWORD step = kFirstRetryStep;
    while (true) {
        if (attempt()) return true;
        if (!IsExistingFile(path)) return false;
        if (static_cast<long long>(GetTickCount64() - start) >= timeout) return false;
        Sleep(step);
        step = std::min(step * 2, kLongestRetryStep);
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

// The name of the mutex for a file: the same for every spelling of one full path.
std::wstring FileTurnName(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    full.resize(length < full.size() ? length : 0);
    if (full.empty()) full = path;
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    // FNV-1a over the UTF-16 units: a mutex name cannot hold backslashes, and a path may be
    // longer than a name may be.
    unsigned long long hash = 0xCBF29CE484222325ull;
    for (const wchar_t c : full) {
        hash ^= static_cast<unsigned short>(c);
        hash *= 0x100000001B3ull;
    }
    wchar_t name[64];
    swprintf(name, 64, L"Local\\TarvoxConfigFile-%016llx", hash);
    return name;
}

}  // namespace

FileTurn::FileTurn(const std::wstring& path, long long timeout) {
    m_mutex = CreateMutexW(nullptr, FALSE, FileTurnName(path).c_str());
    if (m_mutex == nullptr) return;
    const DWORD wait = timeout < 0 ? INFINITE : static_cast<DWORD>(std::min<long long>(timeout, 0x7FFFFFFF));
    const DWORD result = WaitForSingleObject(m_mutex, wait);
    // An abandoned mutex (its holder ended without releasing it) is ours now all the same.
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

FileTurn::~FileTurn() {
    if (m_held) ReleaseMutex(m_mutex);
    if (m_mutex != nullptr) CloseHandle(m_mutex);
}

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
        const FileTurn turn(path, timeout);
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
