// An open CUIX package, as the CuixPort module hands it out, and the process-wide cache of
// packages opened read-only.
#pragma once

#include <tarvox/object.h>

#include <string>

// One open package. The object closes the handle when it owns it (m_IsShared 0); a borrowed
// handle (m_IsShared 1) belongs to the cache or to the object it was taken from.
class _CCuixFile : public tarvox::CObject {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "_CCuixFile"

    _CCuixFile() = default;
    explicit _CCuixFile(std::wstring path) : m_Path(std::move(path)) {}
    ~_CCuixFile() override;

    _CCuixFile(const _CCuixFile&) = delete;
    // Takes over the other's handle (detaching it there), its shared flag and its path.
    _CCuixFile& operator=(_CCuixFile& other);

    // Gives the handle away: this object no longer closes it.
    long long Detach();

    long long m_Handle = 0;
    int m_IsShared = 0;
    std::wstring m_Path;
};

// A package borrowed from the open-package cache: the first opener of a path opens it through
// CuixPort and the cache keeps it open until the process ends; every later opener of exactly
// that path (compared case-sensitively) borrows the same handle. It has no run-time class of
// its own: it answers as a _CCuixFile.
class _CReadOnlyCuixFile : public _CCuixFile {
public:
    _CReadOnlyCuixFile() = default;
    explicit _CReadOnlyCuixFile(const wchar_t* path);
};

namespace tarvox::cuix {

// CuixPort slot 1: the handle of the package at path, 0 when it cannot be opened or the
// module is missing.
long long OpenPackage(const wchar_t* path);
// CuixPort slot 2: closes the package and zeroes the handle.
void ClosePackage(long long& handle);
// CuixPort slot 6: writes a part of an open package to a file; its path goes to partFile.
bool ExtractPart(long long handle, const wchar_t* partName, std::wstring& partFile);

// The number of packages the read-only cache holds (for tests of its sharing).
std::size_t CachedPackageCount();

}  // namespace tarvox::cuix
