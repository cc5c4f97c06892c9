// Text files with encoding detection, as configuration files and XML documents are read.
#pragma once

#include <tarvox/export.h>

#include <windows.h>

namespace TextFileType {

// The encoding of a text file. 0 is set at the start of a read and stays when the read fails.
enum Type : int {
    None = 0,
    Ansi = 1,       // system ANSI code page, no mark
    UnicodeLE = 2,  // UTF-16 little-endian, mark FF FE
    UnicodeBE = 3,  // UTF-16 big-endian, mark FE FF
    Utf8 = 4,       // UTF-8, mark EF BB BF
    Oem = 5,        // OEM code page, no mark (never detected)
    Unnamed = 6,    // neither read nor written
    Utf8NoBom = 7,  // UTF-8 without mark (detected for text beginning with "<?xml")
    Utf7 = 8,       // UTF-7 (never detected)
};

}  // namespace TextFileType

// The encoding of the bytes by their mark, or UTF-8 for a markless "<?xml" start, else ANSI.
TARVOX_API TextFileType::Type DetectTextFileType(const BYTE* bytes, DWORD count);

// Reads count bytes from file and decodes them into buffer (room for count + 1 wide characters;
// the caller writes the terminator after *charCount characters). *charCount first receives the
// number of bytes read and then the number of characters decoded (for ANSI text it stays the
// byte count). Returns the read's success, or 0 for a zero count.
TARVOX_API BOOL ReadTextFile(HANDLE file, wchar_t* buffer, DWORD count, DWORD* charCount,
                             OVERLAPPED* overlapped, TextFileType::Type* type);
