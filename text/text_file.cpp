// Reading text files with encoding detection.
#include <tarvox/xml.h>

#include "text/code_pages.h"

#include <algorithm>
#include <string>

TextFileType::Type DetectTextFileType(const BYTE* bytes, DWORD count) {
    if (bytes == nullptr) return TextFileType::Ansi;
    return tarvox::DetectTextType(
        std::string_view(reinterpret_cast<const char*>(bytes), count));
}

BOOL ReadTextFile(HANDLE file, wchar_t* buffer, DWORD count, DWORD* charCount,
                  OVERLAPPED* overlapped, TextFileType::Type* type) {
    if (type != nullptr) *type = TextFileType::None;
    if (count == 0) {
        if (buffer != nullptr) buffer[0] = L'\0';
        return FALSE;
    }
    std::string bytes(count, '\0');
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes.data(), count, &read, overlapped);
    if (charCount != nullptr) *charCount = read;
    if (!ok) return ok;
    bytes.resize(read);

    TextFileType::Type detected = TextFileType::Ansi;
    std::size_t chars = 0;
    std::wstring text;
    const bool decoded =
        tarvox::DecodeText(bytes, tarvox::SystemCodePages(), detected, text, chars);
    if (type != nullptr) *type = detected;
    if (!decoded) {
        // Only a conversion the system itself refuses ends here (bytes it cannot convert are
        // replaced, not refused).
        if (buffer != nullptr) buffer[0] = L'\0';
        if (charCount != nullptr) *charCount = 0;
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return FALSE;
    }
    if (buffer != nullptr) {
        // The caller's buffer holds one character per byte read.
        const std::size_t copied = std::min<std::size_t>(text.size(), read);
        std::copy_n(text.data(), copied, buffer);
        if (copied < read) buffer[copied] = L'\0';
    }
    if (charCount != nullptr) *charCount = static_cast<DWORD>(chars);
    return ok;
}
