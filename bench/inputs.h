// Generated configuration texts, the same for every contender.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct EntryKey {
    std::wstring section;
    std::wstring name;
};

struct ConfigInput {
    std::wstring text;              // lines separated by CR LF
    std::vector<EntryKey> entries;  // every entry of the text, in file order
    std::wstring largeSection;      // the name of the biggest section
};

// About `lines` lines: one large section with a third of the entries, a few medium sections
// and many small ones, a comment every few lines, names in no particular order and values
// that hold folders with a few non-ASCII letters.
ConfigInput MakeConfigText(int lines, unsigned seed);

enum class Encoding { Utf8, Utf16 };

// Writes text with a byte-order mark; returns false when the file cannot be written.
bool WriteTextFile(const std::wstring& path, const std::wstring& text, Encoding encoding);

// The bytes of text in UTF-8 (no mark).
std::string ToUtf8(const std::wstring& text);

// A small deterministic generator, so that every run measures the same inputs.
class Random {
public:
    explicit Random(unsigned long long seed) : m_state(seed) {}
    unsigned long long Next();
    int Below(int limit) { return static_cast<int>(Next() % static_cast<unsigned>(limit)); }

private:
    unsigned long long m_state;
};

}  // namespace bench
