// Part names of an Open Packaging Conventions package and the ZIP item names they are stored
// under: the text conversions between them and the comparison OPC uses (ASCII letters
// ignoring case, "%XX" escapes standing for the bytes they encode, no leading slash).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cuixport {

struct ZipEntry;

// The bytes of an item name as UTF-8: taken as they are when the entry says UTF-8 or they
// are valid UTF-8, else read as code page 437 (what older ZIP writers use).
std::string ItemNameToUtf8(std::span<const unsigned char> bytes, bool markedUtf8);

bool IsValidUtf8(std::string_view text);

// UTF-16 (or UTF-32 where wchar_t is 32 bits) to UTF-8; nothing for an unpaired surrogate.
std::optional<std::string> WideToUtf8(std::wstring_view text);

// UTF-8 to wide text; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

// The form in which two names are compared: backslashes as slashes, without a leading
// slash, "%XX" escapes decoded, ASCII letters in lower case.
std::string ComparablePartName(std::string_view utf8Name);

// The index of the first entry whose item name is the part name; nothing when none is.
// Folder entries (names ending in a slash) never match.
std::optional<std::size_t> FindPart(std::span<const ZipEntry> entries, std::wstring_view partName);

// A file name for a part's copy that stays in the folder it is put in, whatever the name
// holds: the last component only (after any slash, backslash or drive colon), characters
// Windows does not allow in file names as "_", no trailing dots or blanks, and "part" when
// nothing usable is left. At most maxChars characters, the extension kept where it fits.
std::wstring PartFileName(std::wstring_view partName, std::size_t maxChars = 100);

}  // namespace cuixport
