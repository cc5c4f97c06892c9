#include "config/cfg_file_io.h"

#include "foundation/text_compare.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <optional>
#include <string_view>

namespace tarvox {
namespace {

constexpr DWORD kFirstRetryStep = 1;
constexpr DWORD kLongestRetryStep = 100;

// What one attempt on a file came to: busy attempts are repeated, failed ones are not.
enum class Outcome { Done, Busy, Failed };

// Runs attempt until it is done or fails, or until it is busy while the file is gone, or until
// timeout milliseconds have passed since the first attempt. The pauses start short and grow: a
// file that readers hold for a moment each (a rename over an open file fails) is free again
// within a millisecond or two, while a file locked for long is not asked for too often.
template <class Attempt>
bool RetryWhileBusy(const std::wstring& path, long long timeout, Attempt attempt) {
    const ULONGLONG start = GetTickCount64();
    DWORD step = kFirstRetryStep;
    while (true) {
        const Outcome outcome = attempt();
        if (outcome != Outcome::Busy) return outcome == Outcome::Done;
        if (!IsExistingFile(path)) return false;
        if (static_cast<long long>(GetTickCount64() - start) >= timeout) return false;
        Sleep(step);
        step = std::min(step * 2, kLongestRetryStep);
    }
}

bool WriteAll(HANDLE file, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

bool SeekTo(HANDLE file, unsigned long long offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

// Opens path for writing as every writer of configuration files does: shared read and write.
FileHandle OpenForWriting(const std::wstring& path, DWORD disposition) {
    return FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Writes bytes over the content of an open file. What lies beyond the old end is written and
// flushed first: when the disk is full, the file is cut back to its old length with its old
// content whole, and the old content is overwritten only once the room for the rest is had.
bool WriteInPlace(HANDLE file, const std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    const auto oldSize = static_cast<unsigned long long>(size.QuadPart);
    const std::size_t overlap =
        static_cast<std::size_t>(std::min<unsigned long long>(oldSize, bytes.size()));
    if (bytes.size() > overlap) {
        if (!SeekTo(file, oldSize) ||
            !WriteAll(file, bytes.data() + overlap, bytes.size() - overlap) ||
            !FlushFileBuffers(file)) {
            if (SeekTo(file, oldSize)) SetEndOfFile(file);
            return false;
        }
    }
    return SeekTo(file, 0) && WriteAll(file, bytes.data(), overlap) && SeekTo(file, bytes.size()) &&
           SetEndOfFile(file) && FlushFileBuffers(file);
}

// The temporary files of a configuration file are named "<file name>.tarvox-<process id>-
// <number>.tmp", both numbers in hexadecimal: the name tells the library's own files from
// others and names the process that wrote it.
constexpr std::wstring_view kTemporaryTag = L".tarvox-";
constexpr std::wstring_view kTemporaryExtension = L".tmp";

// Reads up to eight hexadecimal digits (at least one); false for anything else.
bool ParseHex(std::wstring_view digits, DWORD& value) {
    if (digits.empty() || digits.size() > 8) return false;
    value = 0;
    for (const wchar_t c : digits) {
        DWORD digit = 0;
        if (c >= L'0' && c <= L'9') digit = static_cast<DWORD>(c - L'0');
        else if (c >= L'a' && c <= L'f') digit = static_cast<DWORD>(c - L'a' + 10);
        else if (c >= L'A' && c <= L'F') digit = static_cast<DWORD>(c - L'A' + 10);
        else return false;
        value = value * 16 + digit;
    }
    return true;
}

// The id of the process that wrote name, when name is a temporary file of the file named base.
std::optional<DWORD> TemporaryFileOwner(std::wstring_view name, std::wstring_view base) {
    const std::size_t head = base.size() + kTemporaryTag.size();
    if (name.size() <= head + kTemporaryExtension.size() ||
        !EqualsIgnoringCaseOrdinal(name.substr(0, base.size()), base) ||
        !EqualsIgnoringCaseOrdinal(name.substr(base.size(), kTemporaryTag.size()), kTemporaryTag) ||
        !EqualsIgnoringCaseOrdinal(name.substr(name.size() - kTemporaryExtension.size()),
                                   kTemporaryExtension)) {
        return std::nullopt;
    }
    const std::wstring_view numbers =
        name.substr(head, name.size() - head - kTemporaryExtension.size());
    const std::size_t dash = numbers.find(L'-');
    DWORD process = 0;
    DWORD number = 0;
    if (dash == std::wstring_view::npos || !ParseHex(numbers.substr(0, dash), process) ||
        !ParseHex(numbers.substr(dash + 1), number)) {
        return std::nullopt;
    }
    return process;
}

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Some file systems stamp write times coarsely (FAT to 2 seconds); a file is only taken for
// older than a process when it is older by more than that.
constexpr unsigned long long kStampMargin = 2ull * 10'000'000;  // in 100 ns units

// True while the process that wrote a temporary file (last at written) may still be saving:
// a process of that id runs and had started by then. Process ids are reused, so a process
// that started later is not the writer. A process that cannot be asked counts as the writer.
bool WriterMayBeSaving(DWORD process, const FILETIME& written) {
    const FileHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle.Valid()) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
    DWORD exitCode = 0;
    if (GetExitCodeProcess(handle.Get(), &exitCode) && exitCode != STILL_ACTIVE) return false;
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(handle.Get(), &created, &exited, &kernel, &user)) return true;
    return Ticks(created) <= Ticks(written) + kStampMargin;
}

// Removes the temporary files that saves of path left beside it when their process ended in
// the middle (killed, or the machine went down). Nothing else removes them: they would pile
// up, take the disk's room and in the end every temporary name. The files of saves still
// under way in running processes stay.
void RemoveOrphanedTemporaryFiles(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    const std::wstring_view base = std::wstring_view(path).substr(nameStart);
    if (base.empty()) return;
    WIN32_FIND_DATAW found;
    const std::wstring pattern =
        path + std::wstring(kTemporaryTag) + L"*" + std::wstring(kTemporaryExtension);
    const FindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!search.Valid()) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::optional<DWORD> writer = TemporaryFileOwner(found.cFileName, base);
        if (!writer || WriterMayBeSaving(*writer, found.ftLastWriteTime)) continue;
        DeleteFileW((path.substr(0, nameStart) + found.cFileName).c_str());
    } while (FindNextFileW(search.Get(), &found));
}

// A temporary file beside the target, removed again unless it was moved into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& target) {
        static std::atomic<unsigned> counter{0};
        const unsigned long process = GetCurrentProcessId();
        for (int attempt = 0; attempt < 100; ++attempt) {
            wchar_t numbers[32];
            swprintf(numbers, 32, L"%lx-%x", process, counter.fetch_add(1));
            std::wstring name =
                target + std::wstring(kTemporaryTag) + numbers + std::wstring(kTemporaryExtension);
            FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file.Valid()) {
                m_path = std::move(name);
                m_file = std::move(file);
                return;
            }
            // A leftover of an earlier process with the same id: take the next number.
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return;
        }
    }
    ~TemporaryFile() {
        m_file.Close();
        if (!m_path.empty()) DeleteFileW(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Writes bytes to the file, flushes and closes it. False when there is no temporary file or
    // it could not be written; it is then removed at once, so that it takes no room from a
    // write in place.
    bool Fill(const std::string& bytes) {
        const bool filled = m_file.Valid() && WriteAll(m_file.Get(), bytes.data(), bytes.size()) &&
                            FlushFileBuffers(m_file.Get());
        m_file.Close();
        if (!filled && !m_path.empty()) {
            DeleteFileW(m_path.c_str());
            m_path.clear();
        }
        return filled;
    }
    const std::wstring& Path() const { return m_path; }
    void Release() { m_path.clear(); }

private:
    std::wstring m_path;
    FileHandle m_file;
};

// The name of the mutex for a file: the same for every spelling of one full path.
std::wstring FileTurnName(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
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
    m_mutex.Reset(CreateMutexW(nullptr, FALSE, FileTurnName(path).c_str()));
    if (!m_mutex.Valid()) return;
    const DWORD wait =
        timeout < 0 ? INFINITE : static_cast<DWORD>(std::min<long long>(timeout, 0x7FFFFFFF));
    const DWORD result = WaitForSingleObject(m_mutex.Get(), wait);
    // An abandoned mutex (its holder ended without releasing it) is ours now all the same.
    m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

FileTurn::~FileTurn() {
    if (m_held) ReleaseMutex(m_mutex.Get());
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
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        return file.Valid() ? Outcome::Done : Outcome::Busy;
    });
    return file;
}

bool ReadFileBytes(const std::wstring& path, long long timeout, std::string& bytes) {
    bytes.clear();
    const FileTurn turn(path, timeout);
    const FileHandle file = OpenForReadingWithRetry(path, timeout);
    if (!file.Valid()) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart >= 0x7FFFFFFF) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        bytes.clear();
        return false;
    }
    bytes.resize(read);
    return true;
}

bool ReplaceFileContent(const std::wstring& path, const std::string& bytes, long long timeout) {
    RemoveOrphanedTemporaryFiles(path);
    TemporaryFile temporary(path);
    const bool staged = temporary.Fill(bytes);
    return RetryWhileBusy(path, timeout, [&] {
        const FileTurn turn(path, timeout);
        const bool exists = IsExistingFile(path);
        // A read-only configuration is never written, whatever the account may do.
        if (exists && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY)) {
            return Outcome::Busy;
        }
        // A target that cannot be opened for writing as the writers of configuration files
        // open it (another program holds it without write sharing) is busy, also when the
        // system would let it be replaced.
        FileHandle target;
        if (exists) {
            target = OpenForWriting(path, OPEN_EXISTING);
            if (!target.Valid()) return Outcome::Busy;
        }
        if (staged) {
            target.Close();
            if (MoveFileExW(temporary.Path().c_str(), path.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                temporary.Release();
                return Outcome::Done;
            }
        }
        // No replacement: the target is open in another program (a file open without delete
        // sharing is never replaced, and some systems refuse it while any handle is open), or
        // there is no temporary file. The target is written in place instead.
        if (!target.Valid()) target = OpenForWriting(path, OPEN_ALWAYS);
        if (!target.Valid()) return Outcome::Busy;
        return WriteInPlace(target.Get(), bytes) ? Outcome::Done : Outcome::Failed;
    });
}

}  // namespace tarvox
