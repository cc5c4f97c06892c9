// Resources of a module as bytes or as a temporary file.
#include <tarvox/ui.h>

#include "foundation/text_compare.h"
#include "foundation/unique_handle.h"
#include "ui/resource_lookup.h"
#include "foundation/boundary.h"

#include <string_view>

namespace tarvox::ui {

std::string_view FindResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
    if (name == nullptr || *name == L'\0') return {};
    bool rawData = type == nullptr || *type == L'\0' || EqualsIgnoringCaseOrdinal(type, L"RCDATA");
    HRSRC found = FindResourceW(module, name, rawData ? RT_RCDATA : type);
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const char*>(bytes), size};
}

}  // namespace tarvox::ui

int ExtractResourceToTempFile(HMODULE module, const wchar_t* name, std::wstring& path,
                              const wchar_t* type) {
    return tarvox::Guard(0, [&]() -> int {
        path.clear();
        const std::string_view bytes = tarvox::ui::FindResourceBytes(module, name, type);
        if (bytes.data() == nullptr) return 0;

        wchar_t folder[MAX_PATH + 1] = L"";
        wchar_t file[MAX_PATH + 1] = L"";
        const DWORD folderLength = GetTempPathW(MAX_PATH + 1, folder);
        if (folderLength == 0 || folderLength > MAX_PATH) return 0;
        if (GetTempFileNameW(folder, L"rc", 0, file) == 0) return 0;

        // GetTempFileNameW made the file; open it for the bytes without sharing.
        tarvox::FileHandle handle(CreateFileW(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.Valid()) {
            DeleteFileW(file);
            return 0;
        }
        DWORD written = 0;
        const BOOL ok = WriteFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr) &&
                        written == bytes.size();
        handle.Reset();
        if (!ok) {
            DeleteFileW(file);
            return 0;
        }
        path = file;
        return 1;
    });
}

const BYTE* LoadResourceData(HMODULE module, const wchar_t* name, std::vector<BYTE>& buffer,
                             DWORD& size, const wchar_t* type) {
    return tarvox::Guard(static_cast<const BYTE*>(nullptr), [&]() -> const BYTE* {
        size = 0;
        const std::string_view bytes = tarvox::ui::FindResourceBytes(module, name, type);
        if (bytes.data() == nullptr) return nullptr;
        buffer.assign(reinterpret_cast<const BYTE*>(bytes.data()),
                      reinterpret_cast<const BYTE*>(bytes.data()) + bytes.size());
        size = static_cast<DWORD>(bytes.size());
        // A resource of no bytes still counts as found.
        static const BYTE empty = 0;
        return buffer.empty() ? &empty : buffer.data();
    });
}
