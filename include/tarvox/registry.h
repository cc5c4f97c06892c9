// Registry access by path.
//
// A registry key is named by one string: the root key's full name, a backslash and the subkey
// path ("HKEY_LOCAL_MACHINE\Software\Tarvox\Tarvo Ardent 2020"). Root names are matched in full
// and ignoring case; abbreviations such as "HKLM" are refused.
//
// Flags are 32-bit integers compared against exactly 1: a 64-bit view flag of 1 adds
// KEY_WOW64_64KEY to the access asked for, a create flag of 1 creates a missing key.
// Failures are reported by results only (null handle, 0, or the Windows status).
#pragma once

#include <tarvox/export.h>

#include <windows.h>

#include <string>
#include <vector>

// Splits a registry path at its first backslash. Returns the root handle and fills the
// canonical root name and the subkey (one trailing backslash removed); null and two empty
// strings when the path is empty or its root is not a root name.
TARVOX_API HKEY SplitRegPath(const wchar_t* path, std::wstring& rootName, std::wstring& subKey);

// Recognises a root name followed by a backslash at the start of the path. On success the
// subkey is the rest of the path, unchanged; on failure both outputs are left untouched.
TARVOX_API int ParseRegPath(const wchar_t* path, HKEY& root, std::wstring& subKey);

// Opens (or with create = 1 creates) a key for reading; null on failure.
TARVOX_API HKEY OpenRegKey(HKEY root, const wchar_t* subKey, int create, int view64);

// SplitRegPath followed by OpenRegKey.
TARVOX_API HKEY OpenRegKeyByPath(const wchar_t* path, int create, int view64);

// Owns at most one open registry key and closes it when destroyed, closed, or reopened.
class TARVOX_API CRegKeyHolder {
public:
    CRegKeyHolder() = default;
    CRegKeyHolder(HKEY root, const wchar_t* subKey, int create, int view64);
    ~CRegKeyHolder();

    CRegKeyHolder(const CRegKeyHolder&) = delete;
    CRegKeyHolder& operator=(const CRegKeyHolder&) = delete;
    CRegKeyHolder(CRegKeyHolder&& other) noexcept;
    CRegKeyHolder& operator=(CRegKeyHolder&& other) noexcept;

    // With a null root or an empty subkey nothing changes and the held key is returned.
    // Otherwise the held key is closed and the new one (possibly null) is held and returned.
    HKEY Open(HKEY root, const wchar_t* subKey, int create, int view64);
    void Close() noexcept;

    // Takes ownership of an already open key (closing the one held before).
    void Attach(HKEY key) noexcept;
    // Gives up ownership of the held key without closing it.
    HKEY Detach() noexcept;

    HKEY Get() const { return m_hKey; }
    operator HKEY() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

// Reads one value of an open key as text: REG_SZ as stored, REG_EXPAND_SZ expanded with the
// process environment, REG_DWORD as signed decimal. Other types give "" and 0.
TARVOX_API int ReadRegValueString(std::wstring& text, HKEY key, const wchar_t* valueName);

// Reads one value of the key named by a path as text (see ReadRegValueString). A null or
// empty value name reads the key's default value.
TARVOX_API int GetRegValue(std::wstring& text, const wchar_t* path, const wchar_t* valueName,
                           int view64);

// RegSetValueExW with the byte count taken from the type: strings are written with their
// terminator whatever count is given; for REG_MULTI_SZ the count is in characters
// (terminators included); for every other type it is a byte count.
TARVOX_API LSTATUS SetRegValue(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type,
                               const BYTE* data, DWORD count);

// RegQueryValueExW that terminates string data and expands the path variables of
// REG_EXPAND_SZ data. The terminator is kept inside the caller's buffer: one character of the
// given size is reserved for it. Returns ERROR_BUFFER_OVERFLOW (111) when the expanded text
// does not fit; the buffer then keeps the unexpanded text.
TARVOX_API LSTATUS QueryRegValue(HKEY key, const wchar_t* valueName, DWORD* reserved, DWORD* type,
                                 BYTE* data, DWORD* size);

// Creates or opens a key for writing. The key goes to keyOut, or is closed when keyOut is null.
TARVOX_API int CreateRegKey(HKEY root, const wchar_t* subKey, HKEY* keyOut, int view64);

// Appends the subkeys of the key named by path. Mode 0: bare names of the direct subkeys.
// Mode 1: every descendant as a full registry path, each key's children first, then each
// child's subtree in turn. Returns 1 when at least one subkey was found.
TARVOX_API int GetRegSubKeys(const wchar_t* path, std::vector<std::wstring>& keys, int mode,
                             int view64);

// Binary search in an array kept in ascending order (system default locale, case ignored).
// Found: 1, and index names the first of a run of equal entries. Not found: 0, and index is
// the position at which the text keeps the array sorted.
TARVOX_API int FindSortedString(const wchar_t* text, const std::vector<std::wstring>& sorted,
                                long long& index);
