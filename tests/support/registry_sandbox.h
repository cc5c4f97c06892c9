// A private registry for one test: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of this process
// are redirected to fresh scratch keys, removed again when the sandbox goes away.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace tarvox::test {

// One key, or one value of a key, of a machine that a test declares. Paths start with a root
// name; "HKLM\" and "HKCU\" may be used for short.
struct RegEntry {
    std::wstring path;
    std::wstring name;  // value name; empty for the default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool keyOnly = false;  // only create the key
};

RegEntry Key(std::wstring path);
RegEntry Sz(std::wstring path, std::wstring name, std::wstring_view text);
RegEntry ExpandSz(std::wstring path, std::wstring name, std::wstring_view text);
RegEntry MultiSz(std::wstring path, std::wstring name,
                 std::initializer_list<std::wstring_view> items);
RegEntry Dword(std::wstring path, std::wstring name, DWORD value);
RegEntry Qword(std::wstring path, std::wstring name, unsigned long long value);
RegEntry Binary(std::wstring path, std::wstring name, std::vector<BYTE> bytes);
RegEntry Raw(std::wstring path, std::wstring name, DWORD type, std::vector<BYTE> bytes);

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Uses scratch keys that another process made (a child process of a test): the override
    // is per process, so the child applies it again; the parent removes the keys.
    explicit RegistrySandbox(const std::wstring& existingScratchKey);

    // The scratch key below the real HKEY_CURRENT_USER, to hand to a child process.
    const std::wstring& ScratchKey() const { return m_scratchKey; }

    void Apply(const std::vector<RegEntry>& entries) const;

private:
    std::wstring m_scratchKey;
    bool m_owner = false;
    HKEY m_machine = nullptr;
    HKEY m_user = nullptr;
};

}  // namespace tarvox::test
