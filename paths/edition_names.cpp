#include "paths/edition_names.h"

#include "foundation/text_compare.h"
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

// A name of the product year in its three forms: head_2020tail, head_LU_2020tail, head_AR_2020tail.
template <std::size_t H, std::size_t T>
struct YearNames {
    decltype(ConstText<H>() + L"_" + kYear + ConstText<T>()) neutral;
    decltype(ConstText<H>() + L"_LU_" + kYear + ConstText<T>()) luminor;
    decltype(ConstText<H>() + L"_AR_" + kYear + ConstText<T>()) ardent;
};

template <std::size_t H, std::size_t T>
constexpr YearNames<H, T> MakeYearNames(const wchar_t (&head)[H], const wchar_t (&tail)[T]) {
    const ConstText<H> start(head);
    return {start + L"_" + kYear + tail, start + L"_LU_" + kYear + tail,
            start + L"_AR_" + kYear + tail};
}

constexpr auto kFolderVars = MakeYearNames(L"%TarvoArdent", L"%");
constexpr auto kUserFolderVars = MakeYearNames(L"%TarvoArdent", L"_U%");
constexpr auto kConfigVars = MakeYearNames(L"TarvoArdent", L"_CFG");
constexpr auto kCentralConfigVars = MakeYearNames(L"TarvoArdent", L"_CFG_C");
constexpr auto kLocalConfigVars = MakeYearNames(L"TarvoArdent", L"_CFG_L");

template <class Names>
constexpr EditionNames Row(const Names& names) {
    return {names.neutral.c_str(), names.luminor.c_str(), names.ardent.c_str()};
}

constexpr EditionNames kEditionNames[] = {
    Row(kFolderVars),
    Row(kUserFolderVars),
    {L"%TarvoArdent_HELP%", L"%TarvoArdent_LU_HELP%", L"%TarvoArdent_AR_HELP%"},
    {L"InstallDir", L"InstallDir_LU", L"InstallDir_AR"},
    {L"ConfigCfg", L"ConfigCfg_LU", L"ConfigCfg_AR"},
    {L"Config", L"Config_LU", L"Config_AR"},
    Row(kConfigVars),
    Row(kCentralConfigVars),
    Row(kLocalConfigVars),
    {L"Anwender", L"Anwender_L", L"Anwender_A"},
    {L"AnwenderMenue", L"AnwenderMenue_L", L"AnwenderMenue_A"},
    {L"Symbole", L"Symbole_L", L"Symbole_A"},
    {L"Tarvo Ardent(M).chm", L"Tarvo Luminor(m).chm", L"Tarvo Ardent(m).chm"},
    {L"Tarvo Ardent.chm", L"Tarvo Luminor.chm", L"Tarvo Ardent.chm"},
};

// Names of the older line, longest first so that "Tarvo Zenit" does not cut "Tarvo Zenit+".
constexpr std::wstring_view kOlderLineNames[] = {L"Tarvo Zenit(+)", kZenitPlusName.view(),
                                                 kZenitName.view()};
// Names with year that the CAD edition replaces as well, tried before those of the older line.
constexpr std::wstring_view kCadReplacedNames[] = {kArdentExtAcaOfYear.view(), kArdentOfYear.view(),
                                                   kLuminorOfYear.view()};

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
    constexpr std::wstring_view kExtended = kZenitPlusName.view();
    if (text.find(L'\\') == std::wstring::npos) {
        if (StartsWithIgnoringAsciiCase(text, kExtended) &&
            EndsWithIgnoringAsciiCase(text, L".chm")) {
            text.erase(kExtended.size() - 1, 1);
        }
        return;
    }
    static constexpr auto kHelpFolder = L"Help\\" + kZenitPlusName;
    constexpr std::wstring_view kHelpComponent = kHelpFolder.view();
    for (std::size_t i = 0; i + kHelpComponent.size() <= text.size(); ++i) {
        if (i > 0 && text[i - 1] != L'\\') continue;
        if (!StartsWithIgnoringAsciiCase(std::wstring_view(text).substr(i), kHelpComponent))
            continue;
        std::wstring_view fileName = std::wstring_view(text).substr(i + kHelpComponent.size());
        if (!fileName.empty() && fileName.front() == L'\\') fileName.remove_prefix(1);
        if (fileName.find(L'\\') == std::wstring_view::npos &&
            EndsWithIgnoringAsciiCase(fileName, L".chm")) {
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
