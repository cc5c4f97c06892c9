#include "paths/edition_names.h"

#include "foundation/ascii_text.h"
#include "paths/edition_rules.h"
#include "paths/product_edition.h"

#include <array>

namespace tarvox {

namespace {

struct EditionNames {
    const wchar_t* neutral;
    const wchar_t* luminor;
    const wchar_t* ardent;
};

constexpr EditionNames kEditionNames[] = {
    {L"%TarvoArdent_2020%", L"%TarvoArdent_LU_2020%", L"%TarvoArdent_AR_2020%"},
    {L"%TarvoArdent_2020_U%", L"%TarvoArdent_LU_2020_U%", L"%TarvoArdent_AR_2020_U%"},
    {L"%TarvoArdent_HELP%", L"%TarvoArdent_LU_HELP%", L"%TarvoArdent_AR_HELP%"},
    {L"InstallDir", L"InstallDir_LU", L"InstallDir_AR"},
    {L"ConfigCfg", L"ConfigCfg_LU", L"ConfigCfg_AR"},
    {L"Config", L"Config_LU", L"Config_AR"},
    {L"TarvoArdent_2020_CFG", L"TarvoArdent_LU_2020_CFG", L"TarvoArdent_AR_2020_CFG"},
    {L"TarvoArdent_2020_CFG_C", L"TarvoArdent_LU_2020_CFG_C", L"TarvoArdent_AR_2020_CFG_C"},
    {L"TarvoArdent_2020_CFG_L", L"TarvoArdent_LU_2020_CFG_L", L"TarvoArdent_AR_2020_CFG_L"},
    {L"Anwender", L"Anwender_L", L"Anwender_A"},
    {L"AnwenderMenue", L"AnwenderMenue_L", L"AnwenderMenue_A"},
    {L"Symbole", L"Symbole_L", L"Symbole_A"},
    {L"Tarvo Ardent(M).chm", L"Tarvo Luminor(m).chm", L"Tarvo Ardent(m).chm"},
    {L"Tarvo Ardent.chm", L"Tarvo Luminor.chm", L"Tarvo Ardent.chm"},
};

// Names of the older line, longest first so that "Tarvo Zenit" does not cut "Tarvo Zenit+".
constexpr std::wstring_view kOlderLineNames[] = {L"Tarvo Zenit(+)", L"Tarvo Zenit+", L"Tarvo Zenit"};
// Names with year that the CAD edition replaces as well, tried before those of the older line.
constexpr std::wstring_view kCadReplacedNames[] = {L"Tarvo Ardent_ExtACA 2020", L"Tarvo Ardent 2020",
                                                   L"Tarvo Luminor 2020"};

bool EndsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// The next place where a product name may start: an upper-case 'T', or a lower-case 't' when
// no upper-case one follows.
std::size_t NextCandidate(const std::wstring& text, std::size_t from) {
    const std::size_t upper = text.find(L'T', from);
    return upper != std::wstring::npos ? upper : text.find(L't', from);
}

void ReplaceProductNames(std::wstring& text, int edition, std::wstring_view productName) {
    std::size_t position = NextCandidate(text, 0);
    while (position != std::wstring::npos) {
        const std::wstring_view rest = std::wstring_view(text).substr(position);
        std::size_t matched = 0;
        if (edition == kEditionCad) {
            for (auto name : kCadReplacedNames) {
                if (StartsWithIgnoringAsciiCase(rest, name)) {
                    matched = name.size();
                    break;
                }
            }
        }
        if (matched == 0) {
            for (auto name : kOlderLineNames) {
                if (StartsWithIgnoringAsciiCase(rest, name)) {
                    matched = name.size();
                    break;
                }
            }
        }
        if (matched == 0) {
            position = NextCandidate(text, position + 1);
            continue;
        }
        text.replace(position, matched, productName);
        position = NextCandidate(text, position + productName.size());
    }
}

// "Tarvo Zenit+.chm" and "...\Help\Tarvo Zenit+\<file>.chm" lose the plus sign.
void FixExtendedHelpNames(std::wstring& text) {
    constexpr std::wstring_view kExtended = L"Tarvo Zenit+";
    if (text.find(L'\\') == std::wstring::npos) {
        if (StartsWithIgnoringAsciiCase(text, kExtended) && EndsWithIgnoringAsciiCase(text, L".chm")) {
            text.erase(kExtended.size() - 1, 1);
        }
        return;
    }
    constexpr std::wstring_view kHelpComponent = L"Help\\Tarvo Zenit+";
    for (std::size_t i = 0; i + kHelpComponent.size() <= text.size(); ++i) {
        if (i > 0 && text[i - 1] != L'\\') continue;
        if (!StartsWithIgnoringAsciiCase(std::wstring_view(text).substr(i), kHelpComponent)) continue;
        std::wstring_view fileName = std::wstring_view(text).substr(i + kHelpComponent.size());
        if (!fileName.empty() && fileName.front() == L'\\') fileName.remove_prefix(1);
        if (fileName.find(L'\\') == std::wstring_view::npos && EndsWithIgnoringAsciiCase(fileName, L".chm")) {
            text.erase(i + kHelpComponent.size() - 1, 1);
            return;
        }
    }
}

}  // namespace

std::wstring MapEditionNameFor(std::wstring_view text, int edition, std::wstring_view productName) {
    if (edition == kEditionLuminor || edition == kEditionArdent) {
        for (const EditionNames& names : kEditionNames) {
            if (EqualsIgnoringAsciiCase(text, names.neutral)) {
                return edition == kEditionLuminor ? names.luminor : names.ardent;
            }
        }
    }
    std::wstring result(text);
    ReplaceProductNames(result, edition, productName);
    FixExtendedHelpNames(result);
    return result;
}

}  // namespace tarvox

const wchar_t* MapEditionName(const wchar_t* text, std::wstring& out) {
    int edition = 0;
    std::wstring productName;
    GetProductEdition(&edition, productName);
    if (productName.empty() && edition >= tarvox::kEditionLuminor) {
        productName = tarvox::EditionProductName(edition);
    }
    // Copy first: text may be out's own buffer.
    const std::wstring input = text != nullptr ? text : L"";
    const std::wstring mapped = tarvox::MapEditionNameFor(input, edition, productName);
    // Copied into out's own storage, which keeps its place while it has room: the rotating
    // results hand out pointers to it.
    out.reserve(input.size() + 520);
    out.assign(mapped);
    return out.c_str();
}

void MapEditionName(std::wstring& text) {
    if (!text.empty()) MapEditionName(text.c_str(), text);
}

const wchar_t* MapEditionName(const wchar_t* text) {
    if (text == nullptr) return nullptr;
    static std::array<std::wstring, 500> results;
    static std::size_t next = 0;
    std::wstring& result = results[next];
    next = (next + 1) % results.size();
    return MapEditionName(text, result);
}
