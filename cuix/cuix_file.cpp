#include "cuix/cuix_file.h"

#include <tarvox/modules.h>

#include "cuix/cuixport_abi.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace tarvox::cuix {

namespace {

template <class Function>
Function Slot(int slot) {
    const long long table = GetCuixExports(0);
    if (table == 0) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void* const*>(table)[slot]);
}

// Parallel arrays in the ordinal order of the paths. Entries are never removed, so a
// package stays open, and an entry's objects stay where they are, for the process's life.
struct OpenPackageCache {
    std::vector<std::wstring> paths;
    std::vector<std::unique_ptr<_CCuixFile>> packages;
    // 0 while the first opener is opening the package, 1 once its handle is there.
    std::vector<std::unique_ptr<std::atomic<int>>> ready;
};

OpenPackageCache& Cache() {
    static std::once_flag once;
    static OpenPackageCache* cache = nullptr;
    // Created once under a thread-safe initialisation and kept until the process ends.
    std::call_once(once, [] { cache = new OpenPackageCache; });
    return *cache;
}

}  // namespace

long long OpenPackage(const wchar_t* path) {
    const auto open = Slot<cuixport::OpenPackageFunction>(cuixport::kOpenPackageSlot);
    return open ? open(path) : 0;
}

void ClosePackage(long long& handle) {
    const auto close = Slot<cuixport::ClosePackageFunction>(cuixport::kClosePackageSlot);
    if (close) close(&handle);
    handle = 0;
}

bool ExtractPart(long long handle, const wchar_t* partName, std::wstring& partFile) {
    partFile.clear();
    const auto extract = Slot<cuixport::ExtractPartFunction>(cuixport::kExtractPartSlot);
    if (!extract || handle == 0) return false;
    wchar_t result[cuixport::kPartPathChars] = L"";
    if (extract(handle, partName, result) == 0) return false;
    result[cuixport::kPartPathChars - 1] = L'\0';
    partFile = result;
    return !partFile.empty();
}

std::size_t CachedPackageCount() { return Cache().paths.size(); }

namespace {

// Finds or creates the cache entry of a path; the handle it returns is borrowed.
long long BorrowCachedPackage(const std::wstring& path) {
    OpenPackageCache& cache = Cache();
    const auto at = std::lower_bound(cache.paths.begin(), cache.paths.end(), path);
    const std::size_t index = static_cast<std::size_t>(at - cache.paths.begin());
    if (at != cache.paths.end() && *at == path) {
        // Another opener may still be opening it.
        const std::atomic<int>& ready = *cache.ready[index];
        _CCuixFile& package = *cache.packages[index];
        while (ready.load() == 0) Sleep(250);
        return package.m_Handle;
    }
    // The entry's parts and room in the three arrays are made first: the arrays stay in step
    // whatever fails.
    std::wstring key = path;
    auto newPackage = std::make_unique<_CCuixFile>(path);
    auto newReady = std::make_unique<std::atomic<int>>(0);
    cache.paths.reserve(cache.paths.size() + 1);
    cache.packages.reserve(cache.packages.size() + 1);
    cache.ready.reserve(cache.ready.size() + 1);
    const auto position = static_cast<std::ptrdiff_t>(index);
    cache.paths.insert(cache.paths.begin() + position, std::move(key));
    cache.packages.insert(cache.packages.begin() + position, std::move(newPackage));
    cache.ready.insert(cache.ready.begin() + position, std::move(newReady));
    _CCuixFile& package = *cache.packages[index];
    std::atomic<int>& ready = *cache.ready[index];
    // A package that cannot be opened keeps handle 0: extraction from it fails later.
    package.m_Handle = OpenPackage(path.c_str());
    ready.store(1);
    return package.m_Handle;
}

}  // namespace

}  // namespace tarvox::cuix

TARVOX_IMPLEMENT_RUNTIME_CLASS(_CCuixFile, tarvox::CObject)

_CCuixFile::~_CCuixFile() {
    if (m_Handle != 0 && m_IsShared == 0) tarvox::cuix::ClosePackage(m_Handle);
    m_Handle = 0;
    m_IsShared = 0;
}

_CCuixFile& _CCuixFile::operator=(_CCuixFile& other) {
    if (this == &other) return *this;
    if (m_Handle != 0 && m_IsShared == 0) tarvox::cuix::ClosePackage(m_Handle);
    m_IsShared = other.m_IsShared;
    m_Handle = other.Detach();
    m_Path = other.m_Path;
    return *this;
}

long long _CCuixFile::Detach() {
    m_IsShared = 1;
    return m_Handle;
}

_CReadOnlyCuixFile::_CReadOnlyCuixFile(const wchar_t* path) {
    if (path == nullptr || *path == L'\0') return;
    m_Path = path;
    m_Handle = tarvox::cuix::BorrowCachedPackage(m_Path);
    m_IsShared = 1;
}
