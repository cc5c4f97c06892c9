// Detection, decoding and encoding of text file bytes. The code-page conversions come in
// through a seam, so the rules here build and test without Windows.
#pragma once

#include <tarvox/text_file_type.h>

#include <string>
#include <string_view>

namespace tarvox {

// Code pages the codec asks its converter for.
inline constexpr unsigned kCodePageAnsi = 0;      // CP_ACP
inline constexpr unsigned kCodePageOem = 1;       // CP_OEMCP
inline constexpr unsigned kCodePageUtf7 = 65000;  // CP_UTF7
inline constexpr unsigned kCodePageUtf8 = 65001;  // CP_UTF8

// decode converts as the system does without flags: bytes that are not valid in the code page
// become replacement characters.
struct CodePageConverter {
    bool (*decode)(unsigned codePage, std::string_view bytes, std::wstring& text);
    std::string (*encode)(unsigned codePage, std::wstring_view text);
};

TextFileType::Type DetectTextType(std::string_view bytes);

// Decodes bytes by their detected type; type receives it (never 0). For ANSI text charCount
// is the byte count, for every other type the number of characters decoded. Well-formed UTF-8
// is decoded by the library's own decoder, ill-formed UTF-8 by the converter. False only when
// the converter fails.
bool DecodeText(std::string_view bytes, const CodePageConverter& converter,
                TextFileType::Type& type, std::wstring& text, std::size_t& charCount);

// Encodes text for a file of the given type, mark included. False for a type that is not
// written (0, 6 and unknown values).
bool EncodeText(std::wstring_view text, TextFileType::Type type, const CodePageConverter& converter,
                std::string& bytes);

}  // namespace tarvox
