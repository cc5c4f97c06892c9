// The configuration reader's whole load-edit-compose path over arbitrary bytes, with the system's
// own code pages and case-insensitive order. Input: one byte picking the encoding the edited
// configuration is written in, one byte giving the number of edits (up to 7), four bytes per
// edit, then the file's bytes. The bytes are loaded as the reader loads a file, edited with
// SetValue (existing entries, new entries, new sections), composed and written in the chosen
// encoding, and loaded again. Checked:
//   - a new entry reads back as set (trimmed), and edited entries read the same after the
//     edited configuration is written in UTF-16 and loaded again;
//   - from the second load on, saving and loading is a fixed point: the same encoding, the same
//     lines, the same composed text.
#include <tarvox/config.h>

#include "config/cfg_registry.h"
#include "config/cfg_text.h"
#include "foundation/text_compare.h"
#include "fuzz/windows/fuzz_driver.h"
#include "text/code_pages.h"
#include "text/text_codec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr TextFileType::Type kWritten[] = {TextFileType::Ansi, TextFileType::UnicodeLE,
                                           TextFileType::UnicodeBE, TextFileType::Utf8,
                                           TextFileType::Utf8NoBom};

// Names and values an edit may use besides those of the file: case variants, letters beyond
// ASCII, blanks, and characters that mean something in a configuration line.
const wchar_t* const kSections[] = {L"Tarvo", L"tarvo", L"Pfade \u00C4", L"\u4E00", L"a b"};
const wchar_t* const kNames[] = {L"Key", L"key", L"Path", L"\u00E4rger", L"x y"};
const wchar_t* const kValues[] = {L"",          L"1",         L"C:\\Program Files\\Tarvo",
                                  L"x=y",       L"; no note", L"\u00FCber \u4E00",
                                  L" padded  ", L"[S]",       L"%AC2020%\\Support"};

struct Loaded {
    TextFileType::Type type = TextFileType::None;
    std::unique_ptr<CCfgReader> reader = std::make_unique<CCfgReader>();
};

// Loads bytes as the reader loads a file; nothing when they are no text of their encoding.
std::optional<Loaded> Load(std::string_view bytes) {
    Loaded loaded;
    std::wstring text;
    std::size_t count = 0;
    if (!tarvox::DecodeText(bytes, tarvox::SystemCodePages(), loaded.type, text, count))
        return std::nullopt;
    std::vector<std::wstring> lines = tarvox::CfgFileLines(text, &AnsiByteOfSystem);
    loaded.reader->ParseLines(lines);
    return loaded;
}

std::wstring Composed(CCfgReader& reader) {
    std::wstring text;
    reader.ComposeText(reader.GetDataArray(), text);
    return text;
}

// A registry export is rewritten on every load (its continuation lines joined, its expandable
// strings decoded), so the next load of such a text is no fixed point and is not checked.
bool IsRegistryExport(const std::wstring& composed) {
    return tarvox::StartsWithIgnoringAsciiCase(composed, L"REGEDIT4");
}

std::string Saved(const std::wstring& composed, TextFileType::Type type) {
    std::string bytes;
    if (!tarvox::EncodeText(composed, type, tarvox::SystemCodePages(), bytes))
        fuzz::Fail("an encoding the loader accepts is not written");
    return bytes;
}

struct Edit {
    std::wstring section, name, value;
};

// An edit of four bytes: what it changes (an entry of the file, a new entry of a section of
// the file, an entry of a new section) and with which value.
Edit MakeEdit(const std::uint8_t* bytes, CCfgReader& reader) {
    Edit edit{kSections[bytes[1] % std::size(kSections)], kNames[bytes[2] % std::size(kNames)],
              kValues[bytes[3] % std::size(kValues)]};
    if (bytes[0] % 3 == 2) return edit;
    std::wstring section;
    if (reader.GetSectionName(section, bytes[1] % 8) != 1) return edit;
    edit.section = section;
    if (bytes[0] % 3 == 1) return edit;
    std::vector<std::wstring> names, values;
    if (reader.GetSectionEntries(names, values, section.c_str(), 0, 0) == 1 && !names.empty())
        edit.name = names[bytes[2] % names.size()];
    return edit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const TextFileType::Type chosen = kWritten[data[0] % std::size(kWritten)];
    const std::size_t editCount = data[1] % 8;
    if (size < 2 + 4 * editCount) return 0;
    const std::string_view file(reinterpret_cast<const char*>(data + 2 + 4 * editCount),
                                size - 2 - 4 * editCount);
    std::optional<Loaded> first = Load(file);
    if (!first) return 0;
    if (IsRegistryExport(Composed(*first->reader))) return 0;

    // Edits whose value the reader answers at once. A name or section of the file may be one
    // the reader cannot address as written (a header with text after its bracket, an entry
    // that repeats): those edits are made but not checked.
    std::vector<Edit> checked;
    for (std::size_t i = 0; i < editCount; ++i) {
        const Edit edit = MakeEdit(data + 2 + 4 * i, *first->reader);
        CCfgReader& reader = *first->reader;
        std::wstring value;
        const bool added =
            reader.GetValue(value, edit.section.c_str(), edit.name.c_str(), nullptr) != 1;
        // A header without a name ("[]") gives an empty section name, which SetValue refuses.
        if (reader.SetValue(edit.section.c_str(), edit.name.c_str(), edit.value.c_str()) != 1) {
            if (edit.section.empty() || edit.name.empty()) continue;
            fuzz::Fail("SetValue failed");
        }
        reader.GetValue(value, edit.section.c_str(), edit.name.c_str(), nullptr);
        if (value == edit.value) checked.push_back(edit);
        // Values are read trimmed, as every line of the file is.
        else if (added && value != tarvox::TrimCfg(edit.value))
            fuzz::Fail("a new entry reads back otherwise");
    }

    // UTF-16 holds every text: an edited entry reads the same after the reload.
    std::optional<Loaded> second = Load(Saved(Composed(*first->reader), chosen));
    if (!second) fuzz::Fail("a saved configuration does not load");
    if (chosen == TextFileType::UnicodeLE || chosen == TextFileType::UnicodeBE) {
        // A later edit may have changed the entry again: the edited reader's answer counts.
        for (const Edit& edit : checked) {
            std::wstring before, after;
            first->reader->GetValue(before, edit.section.c_str(), edit.name.c_str(), nullptr);
            second->reader->GetValue(after, edit.section.c_str(), edit.name.c_str(), nullptr);
            if (after != before) fuzz::Fail("an edited entry reads otherwise after a reload");
        }
    }

    // A text may become an export on the way: saved in ANSI, a first line of the characters
    // of a UTF-8 byte-order mark (an empty line before it is not composed) is read back as the
    // mark, and "REGEDIT4" after it then begins the text.
    const std::wstring secondText = Composed(*second->reader);
    if (IsRegistryExport(secondText)) return 0;
    std::optional<Loaded> third = Load(Saved(secondText, second->type));
    if (!third) fuzz::Fail("a saved configuration does not load again");
    const std::wstring thirdText = Composed(*third->reader);
    if (IsRegistryExport(thirdText)) return 0;
    std::optional<Loaded> fourth = Load(Saved(thirdText, third->type));
    if (!fourth) fuzz::Fail("a saved configuration does not load again");
    if (fourth->type != third->type) fuzz::Fail("the encoding changed on a later save");
    if (fourth->reader->GetDataArray() != third->reader->GetDataArray())
        fuzz::Fail("the lines changed on a later save");
    if (Composed(*fourth->reader) != thirdText)
        fuzz::Fail("the composed text changed on a later save");
    return 0;
}
