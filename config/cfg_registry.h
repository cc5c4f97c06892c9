// The registry form of a configuration: a key tree read into sections and values, sections
// written back as keys and values, and registry export text rewritten for the parser.
#pragma once

#include <tarvox/config.h>

#include <windows.h>

#include <string>
#include <vector>

// Reads the key named by the reader's m_File into its m_Data, recording value types.
// 1 when the key was opened.
int ReadRegistryConfiguration(CCfgReader& reader);

// Appends the lines of the key at relativePath below key (the key itself when empty) and of
// every key below it. 1 when a value line was written for this key or one below it.
int ReadRegistryKeyTree(CCfgReader& reader, HKEY key, const std::wstring& relativePath,
                        std::vector<std::wstring>& lines);

// Writes one section's names and values below key with the types recorded in the reader.
// 1 when the section's key was available. When complete is given, it tells whether the key was
// available and every value was written.
int WriteRegistrySection(CCfgReader& reader, HKEY key, const std::wstring& section,
                         const std::vector<std::wstring>& names,
                         const std::vector<std::wstring>& values, bool* complete = nullptr);

// Rewrites a registry export ("REGEDIT4") into lines the configuration parser reads, decoding
// hex(2) values from the ANSI code page. 1 when the text was rewritten, 0 when it is no export.
int NormalizeRegeditText(std::wstring& text);

// One byte of the ANSI code page as a character ('?' when it has none): how a registry
// export's hex(2) bytes are read.
wchar_t AnsiByteOfSystem(unsigned char byte);
