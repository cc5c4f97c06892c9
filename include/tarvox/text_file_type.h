// The encodings of text files the library reads and writes.
#pragma once

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
