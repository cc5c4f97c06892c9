// A configuration file as the reader loads and saves it: arbitrary bytes decoded by their
// detected encoding, a registry export rewritten, cut into lines, composed and written back in
// the encoding the file was read in. The first byte picks an encoding the loader accepts, in
// which the lines are written first; from there, saving and loading reaches a fixed point: the
// same encoding, the same lines and the same composed text again.
#include "config/cfg_text.h"
#include "foundation/text_compare.h"
#include "fuzz/targets/fuzz_input.h"
#include "text/text_codec.h"
#include "text/utf8_decoder.h"

#include <cstdint>

namespace {

// The stand-in for the system's code pages, which decode every byte sequence: UTF-8 by the
// library's decoder (malformed UTF-8 as Latin-1, where the system puts replacements), written
// with the system's replacement of a lone surrogate (U+FFFD); ANSI as Latin-1, '?' for what
// Latin-1 has not.
bool PlainDecode(unsigned codePage, std::string_view bytes, std::wstring& text) {
    if (codePage == tarvox::kCodePageUtf8 && tarvox::DecodeWellFormedUtf8(bytes, text)) return true;
    text = fuzz::Latin1FromBytes(bytes);
    return true;
}

std::string PlainEncode(unsigned codePage, std::wstring_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned long c = static_cast<unsigned long>(text[i]) & 0xFFFF;
        if (codePage != tarvox::kCodePageUtf8) {
            bytes.push_back(c < 0x100 ? static_cast<char>(c) : '?');
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                   (text[i + 1] & 0xFFFF) >= 0xDC00 && (text[i + 1] & 0xFFFF) <= 0xDFFF) {
            fuzz::AppendUtf8(bytes,
                             0x10000 + ((c - 0xD800) << 10) + ((text[++i] & 0xFFFF) - 0xDC00));
        } else {
            fuzz::AppendUtf8(bytes, c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
        }
    }
    return bytes;
}

const tarvox::CodePageConverter kPlain{&PlainDecode, &PlainEncode};

wchar_t Latin1(unsigned char byte) { return static_cast<wchar_t>(byte); }

struct Loaded {
    TextFileType::Type type = TextFileType::None;
    std::vector<std::wstring> lines;
    std::wstring composed;
};

// Loads bytes as the reader does; false when they are no text of their encoding.
bool Load(std::string_view bytes, Loaded& loaded) {
    std::wstring text;
    std::size_t count = 0;
    if (!tarvox::DecodeText(bytes, kPlain, loaded.type, text, count)) return false;
    // The Windows build keeps 16-bit characters.
    for (wchar_t& c : text) c = static_cast<wchar_t>(c & 0xFFFF);
    loaded.lines = tarvox::CfgFileLines(text, &Latin1);
    loaded.composed = tarvox::ComposeCfgText(loaded.lines);
    return true;
}

std::string Save(const Loaded& loaded, TextFileType::Type type) {
    std::string bytes;
    if (!tarvox::EncodeText(loaded.composed, type, kPlain, bytes))
        fuzz::Fail("an encoding the loader accepts is not written");
    return bytes;
}

constexpr TextFileType::Type kLoaded[] = {TextFileType::Ansi, TextFileType::UnicodeLE,
                                          TextFileType::UnicodeBE, TextFileType::Utf8,
                                          TextFileType::Utf8NoBom};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Loaded first;
    if (!Load(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), first)) return 0;
    // The lines written in the chosen encoding, as a save after a change of encoding would.
    const TextFileType::Type chosen = kLoaded[data[0] % std::size(kLoaded)];
    Loaded second;
    if (!Load(Save(first, chosen), second)) fuzz::Fail("a saved file does not load");
    // From here the reader keeps the encoding it detected. One save normalises what the
    // first load read (empty lines at the ends, a text that reads as another encoding once
    // written); from then on, loading what was saved gives the same encoding, lines and text.
    Loaded third;
    if (!Load(Save(second, second.type), third)) fuzz::Fail("a saved file does not load again");
    Loaded fourth;
    if (!Load(Save(third, third.type), fourth)) fuzz::Fail("a saved file does not load again");
    // A registry export ("REGEDIT4" first) is rewritten on every load, its continuation lines
    // joined again: only the plain configuration text has a fixed point.
    if (tarvox::StartsWithIgnoringAsciiCase(third.composed, L"REGEDIT4")) return 0;
    if (fourth.type != third.type) fuzz::Fail("the encoding changed on a later save");
    if (fourth.lines != third.lines) fuzz::Fail("the lines changed on a later save");
    if (fourth.composed != third.composed) fuzz::Fail("the composed text changed on a later save");
    // UTF-16 holds every text: written that way, the lines come back as they were.
    if ((chosen == TextFileType::UnicodeLE || chosen == TextFileType::UnicodeBE) &&
        second.type == chosen && second.composed != first.composed) {
        fuzz::Fail("UTF-16 did not keep the text");
    }
    return 0;
}
