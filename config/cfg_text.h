// The configuration text format: splitting into lines, trimming, header normalisation, line
// classification, list-mode numbering and composing lines back into text. No system calls.
#pragma once

#include "config/regedit_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvox {

// Removes spaces, tabs and line feeds at both ends (carriage returns stay).
std::wstring_view TrimCfg(std::wstring_view text);

// Cuts text at each carriage return (the next line starts two characters after it) and trims
// every line.
std::vector<std::wstring> SplitCfgLines(std::wstring_view text);

// The loader's last steps on a configuration file's decoded text: the text ends at its first
// NUL, a registry export is rewritten for the parser (its ANSI bytes decoded by ansiByte), and
// the text is cut into lines. text keeps the rewritten text.
std::vector<std::wstring> CfgFileLines(std::wstring& text, AnsiByteDecoder ansiByte);

// Every line followed by CR LF; leading and trailing empty lines left out and runs of empty
// lines reduced to one.
std::wstring ComposeCfgText(const std::vector<std::wstring>& lines);
// The same into text, whose room is reused.
void ComposeCfgTextInto(const std::vector<std::wstring>& lines, std::wstring& text);

enum class CfgLineKind { Empty, Header, Comment, Other };
CfgLineKind ClassifyCfgLine(std::wstring_view line);

// A header line's name (between '[' and the first ']', trimmed) and the line rewritten in its
// normal form.
struct CfgHeader {
    std::wstring name;
    std::wstring line;
};
CfgHeader NormalizeCfgHeader(std::wstring_view line);

// Splits at the first '=' and trims both parts; false when the line has no '='.
bool SplitCfgEntry(std::wstring_view line, std::wstring& name, std::wstring& value);
// The same, as views into line.
bool SplitCfgEntryView(std::wstring_view line, std::wstring_view& name, std::wstring_view& value);

// The generated name of the n-th line in list mode: 00001 ... 09999, then plain digits.
std::wstring ListEntryName(long long number);

// True for the entry that switches list mode on: SimpleList = True or 1.
bool IsListModeSwitch(std::wstring_view name, std::wstring_view value);

// List mode while lines are read in order: once on, it stays on. number is the current line's
// number within it, counted since the switch or since the last new section's header; the
// reader of the lines increases it for every line and sets it to 0 at a new section.
struct CfgListMode {
    bool on = false;
    long long number = 0;
};

// Reads a line that is neither empty, a header nor a comment as an entry: its name, and its
// value as a view into line or into room. The switch entry turns list mode on and is
// rewritten to name=0; in list mode a line without '=' becomes an entry named by its number
// and is rewritten to name=value. False for a line without '=' outside list mode.
bool ReadCfgEntryLine(std::wstring& line, CfgListMode& list, std::wstring& name,
                      std::wstring_view& value, std::wstring& room);

}  // namespace tarvox
