// Owners of system handles: one move-only template, and a traits class per kind of handle that
// says which value means "none" and how a held handle is closed. The traits are the only code of
// the library that calls the close functions; everything else holds its handles in these owners.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace tarvox {

// Traits: Type, Invalid() (the value an empty owner holds), IsValid(value) and Close(value),
// which is called only for a valid value.
template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type value) noexcept : m_value(value) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const noexcept { return m_value; }
    bool Valid() const noexcept { return Traits::IsValid(m_value); }
    explicit operator bool() const noexcept { return Valid(); }

    // Gives up the handle without closing it.
    Type Release() noexcept { return std::exchange(m_value, Traits::Invalid()); }

    // Closes the held handle and holds value instead.
    void Reset(Type value = Traits::Invalid()) noexcept {
        const Type old = std::exchange(m_value, value);
        if (Traits::IsValid(old)) Traits::Close(old);
    }
    void Close() noexcept { Reset(); }

    // For a call that hands out a new handle through a pointer: closes what is held and gives
    // the address to fill.
    Type* Put() noexcept {
        Reset();
        return &m_value;
    }

private:
    Type m_value = Traits::Invalid();
};

// Handles for which null means none.
template <class Handle>
struct NullIsInvalid {
    using Type = Handle;
    static constexpr Type Invalid() noexcept { return nullptr; }
    static bool IsValid(Type value) noexcept { return value != nullptr; }
};

// Handles that CreateFileW and FindFirstFileW give: INVALID_HANDLE_VALUE means none (and null is
// never held open either).
struct MinusOneIsInvalid {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type value) noexcept {
        return value != INVALID_HANDLE_VALUE && value != nullptr;
    }
};

struct FileHandleTraits : MinusOneIsInvalid {
    static void Close(Type value) noexcept { CloseHandle(value); }
};
struct KernelHandleTraits : NullIsInvalid<HANDLE> {
    static void Close(Type value) noexcept { CloseHandle(value); }
};
struct FindHandleTraits : MinusOneIsInvalid {
    static void Close(Type value) noexcept { FindClose(value); }
};
struct LoadedModuleTraits : NullIsInvalid<HMODULE> {
    static void Close(Type value) noexcept { FreeLibrary(value); }
};
struct MappedViewTraits : NullIsInvalid<void*> {
    static void Close(Type value) noexcept { UnmapViewOfFile(value); }
};
struct CoTaskMemStringTraits : NullIsInvalid<wchar_t*> {
    static void Close(Type value) noexcept { CoTaskMemFree(value); }
};
struct BstrTraits : NullIsInvalid<BSTR> {
    static void Close(Type value) noexcept { SysFreeString(value); }
};
struct EnvironmentBlockTraits : NullIsInvalid<wchar_t*> {
    static void Close(Type value) noexcept { FreeEnvironmentStringsW(value); }
};
template <class Handle>
struct GdiObjectTraits : NullIsInvalid<Handle> {
    static void Close(Handle value) noexcept { DeleteObject(value); }
};
struct MemoryDcTraits : NullIsInvalid<HDC> {
    static void Close(Type value) noexcept { DeleteDC(value); }
};
// A device context that GetDC lent for a window (null: the screen), given back to that window.
struct WindowDcTraits {
    struct Type {
        HWND window;
        HDC dc;
    };
    static constexpr Type Invalid() noexcept { return {nullptr, nullptr}; }
    static bool IsValid(Type value) noexcept { return value.dc != nullptr; }
    static void Close(Type value) noexcept { ReleaseDC(value.window, value.dc); }
};
struct RegKeyTraits : NullIsInvalid<HKEY> {
    static void Close(Type value) noexcept { RegCloseKey(value); }
};

// A file or other object opened by CreateFileW: INVALID_HANDLE_VALUE when none.
using FileHandle = UniqueHandle<FileHandleTraits>;
// A kernel object whose creation gives null on failure: file mappings, mutexes.
using KernelHandle = UniqueHandle<KernelHandleTraits>;
// A search of FindFirstFileW.
using FindHandle = UniqueHandle<FindHandleTraits>;
// A module loaded by LoadLibraryW, freed again.
using LoadedModule = UniqueHandle<LoadedModuleTraits>;
// A view of a file mapping.
using MappedView = UniqueHandle<MappedViewTraits>;
// A string that the shell or COM allocated with CoTaskMemAlloc.
using CoTaskMemString = UniqueHandle<CoTaskMemStringTraits>;
// A BSTR.
using UniqueBstr = UniqueHandle<BstrTraits>;
// The block of GetEnvironmentStringsW.
using EnvironmentBlock = UniqueHandle<EnvironmentBlockTraits>;
// A GDI object (bitmap, brush, font), deleted.
template <class Handle>
using GdiObject = UniqueHandle<GdiObjectTraits<Handle>>;
// A memory device context of CreateCompatibleDC.
using MemoryDcHandle = UniqueHandle<MemoryDcTraits>;
// A window's device context from GetDC.
using WindowDcHandle = UniqueHandle<WindowDcTraits>;
// An open registry key.
using RegKey = UniqueHandle<RegKeyTraits>;

}  // namespace tarvox
