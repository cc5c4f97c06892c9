#include "stubs/cuixport/open_packages.h"

#include "stubs/cuixport/file_source.h"
#include "stubs/cuixport/part_names.h"
#include "stubs/cuixport/zip_directory.h"
#include "stubs/cuixport/zip_entry_data.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace cuixport {

namespace {

class Package {
public:
    Package(std::unique_ptr<FileSource> source, std::vector<ZipEntry> entries, std::wstring folder)
        : m_source(std::move(source)), m_entries(std::move(entries)), m_folder(std::move(folder)) {}
    ~Package() { RemoveCopies(); }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    std::wstring Extract(const std::wstring& partName, std::size_t resultChars) {
        const auto index = FindPart(m_entries, partName);
        if (!index) return {};
        std::vector<unsigned char> data;
        if (ExtractEntry(*m_source, m_entries[*index], data) != ExtractResult::Ok) return {};

        // One extraction at a time per package: two of the same part write the same file.
        std::lock_guard lock(m_mutex);
        if (m_closed) return {};
        const std::wstring path = m_folder + PartFileName(partName);
        if (path.size() >= resultChars) return {};
        if (!EnsureFolder()) return {};
        if (!WriteWhole(path, data)) return {};
        m_copies.insert(path);
        return path;
    }

    // With wait false it gives up when an extraction holds the package (a thread that the
    // ending process has stopped may hold it for ever).
    void RemoveCopies(bool wait = true) {
        std::unique_lock lock(m_mutex, std::defer_lock);
        if (wait) {
            lock.lock();
        } else if (!lock.try_lock()) {
            return;
        }
        m_closed = true;
        for (const auto& copy : m_copies) DeleteFileW(copy.c_str());
        m_copies.clear();
        RemoveDirectoryW(m_folder.c_str());
    }

private:
    bool EnsureFolder() const {
        const std::wstring parent = m_folder.substr(0, m_folder.rfind(L'\\', m_folder.size() - 2));
        CreateDirectoryW(parent.c_str(), nullptr);
        return CreateDirectoryW(m_folder.c_str(), nullptr) ||
               GetLastError() == ERROR_ALREADY_EXISTS;
    }

    static bool WriteWhole(const std::wstring& path, const std::vector<unsigned char>& data) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < data.size()) {
            const DWORD step =
                static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 24));
            DWORD written = 0;
            ok = WriteFile(file, data.data() + done, step, &written, nullptr) && written == step;
            done += written;
        }
        CloseHandle(file);
        if (!ok) DeleteFileW(path.c_str());
        return ok;
    }

    std::unique_ptr<FileSource> m_source;
    std::vector<ZipEntry> m_entries;
    std::wstring m_folder;  // ends in a backslash
    std::mutex m_mutex;
    std::set<std::wstring> m_copies;
    bool m_closed = false;
};

std::mutex g_mutex;
// Never destroyed: the process may end while packages are open and their owners still run.
auto& g_packages = *new std::map<long long, std::shared_ptr<Package>>;
long long g_lastHandle = 0;

std::wstring CopiesFolder(long long handle) {
    wchar_t temp[MAX_PATH + 1] = L"";
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return {};
    return std::wstring(temp, length) + L"CuixPort\\" + std::to_wstring(GetCurrentProcessId()) +
           L"-" + std::to_wstring(handle) + L"\\";
}

std::shared_ptr<Package> Find(long long handle) {
    std::lock_guard lock(g_mutex);
    const auto found = g_packages.find(handle);
    return found != g_packages.end() ? found->second : nullptr;
}

}  // namespace

long long OpenPackage(const std::wstring& path) {
    auto source = std::make_unique<FileSource>(path);
    if (!source->Valid()) return 0;
    auto entries = ReadZipDirectory(*source);
    if (!entries) return 0;
    std::lock_guard lock(g_mutex);
    const long long handle = ++g_lastHandle;
    const std::wstring folder = CopiesFolder(handle);
    if (folder.empty()) return 0;
    g_packages.emplace(handle,
                       std::make_shared<Package>(std::move(source), std::move(*entries), folder));
    return handle;
}

void ClosePackage(long long handle) {
    std::shared_ptr<Package> package;
    {
        std::lock_guard lock(g_mutex);
        const auto found = g_packages.find(handle);
        if (found == g_packages.end()) return;
        package = std::move(found->second);
        g_packages.erase(found);
    }
    // An extraction of another thread may still hold the package; its copies go now.
    package->RemoveCopies();
}

std::wstring ExtractPart(long long handle, const std::wstring& partName, std::size_t resultChars) {
    const auto package = Find(handle);
    return package ? package->Extract(partName, resultChars) : std::wstring();
}

void RemoveAllCopies(bool processEnding) {
    std::unique_lock lock(g_mutex, std::defer_lock);
    if (!processEnding) {
        lock.lock();
    } else if (!lock.try_lock()) {
        return;
    }
    for (auto& [handle, package] : g_packages) package->RemoveCopies(!processEnding);
}

}  // namespace cuixport
