#include "autocad/product_names.h"

#include <string_view>

#include "foundation/text_compare.h"

namespace tarvox::autocad {

namespace {

constexpr std::size_t kReleaseFieldLength = 20;
constexpr std::size_t kIntegerPartLength = 10;
constexpr std::size_t kNameFieldLength = 128;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

int GetAcadProductType(const wchar_t* name) {
    if (!name || !*name) return kAcadTypeNoName;
    struct Word {
        std::wstring_view text;
        int type;
    };
    static constexpr Word kWords[] = {{L" LT", kAcadTypeLt},
                                      {L" Architecture", kAcadTypeArchitecture},
                                      {L" Civil", kAcadTypeCivil},
                                      {L" Elec", kAcadTypeElectrical}};
    const std::wstring_view text(name);
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (const Word& word : kWords) {
            if (StartsWithIgnoringAsciiCase(text.substr(i), word.text)) return word.type;
        }
    }
    return kAcadTypePlain;
}

std::wstring AcadVerticalCode(const std::wstring& name) {
    // Searched in this order: Raster Design comes before AutoCAD, which its names also hold.
    static constexpr std::wstring_view kTable[] = {
        L"Architecture|000",  L"MEP|111",     L"Civil|222", L"Mechanical|333",
        L"Raster Design|555", L"AutoCAD|444", L"|999"};
    for (std::wstring_view entry : kTable) {
        const std::size_t bar = entry.find(L'|');
        if (ContainsIgnoringAsciiCase(name, entry.substr(0, bar))) {
            return std::wstring(entry.substr(bar + 1));
        }
    }
    return L"999";
}

std::wstring MakeAcadProductSortKey(const wchar_t* releaseKeyPath, const wchar_t* productName,
                                    bool isLt) {
    if (!releaseKeyPath) return {};
    const std::wstring_view path(releaseKeyPath);
    const std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {};
    const std::wstring_view component = path.substr(slash + 1);
    std::size_t pos = 0;
    while (pos < component.size() && !IsDigit(component[pos])) ++pos;
    if (pos == component.size()) return {};

    std::wstring integerPart;
    while (pos < component.size() && IsDigit(component[pos])) integerPart += component[pos++];
    std::wstring field;
    if (integerPart.size() < kIntegerPartLength) {
        field.assign(kIntegerPartLength - integerPart.size(), L'0');
    }
    field += integerPart;
    field += L'.';
    if (pos < component.size() && component[pos] == L'.') {
        ++pos;
        std::wstring fraction;
        while (pos < component.size() && IsDigit(component[pos])) fraction += component[pos++];
        field += fraction.empty() ? std::wstring(L"0") : fraction;
    } else {
        field += L'0';
    }
    // The field is exactly 20 characters however many digits the key has: a longer one would
    // move the vertical code and the name and break the order of the keys.
    field.resize(kReleaseFieldLength, L'0');
    // AutoCAD products lead with 1 and AutoCAD LT products with 9, so LT sorts last.
    field[0] = isLt ? L'9' : L'1';

    if (!productName) return field + std::wstring(kNameFieldLength, L' ');
    std::wstring name(productName);
    std::wstring key = field + AcadVerticalCode(name) + name;
    if (name.size() < kNameFieldLength) key.append(kNameFieldLength - name.size(), L' ');
    return key;
}

int IsPureAcadName(const wchar_t* name, int* ltOrArchitecture) {
    if (ltOrArchitecture) *ltOrArchitecture = 0;
    if (!name || !*name) return 0;
    const std::wstring_view text(name);
    static constexpr std::wstring_view kWords[] = {L" LT ", L" Architecture ",
                                                   L" Architectural Desktop "};
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (std::wstring_view word : kWords) {
            if (StartsWithIgnoringAsciiCase(text.substr(i), word)) {
                if (ltOrArchitecture) *ltOrArchitecture = 1;
                return 0;
            }
        }
    }
    for (int year = 2010; year <= 2020; ++year) {
        const std::wstring plain = L"AutoCAD " + std::to_wstring(year);
        if (StartsWithIgnoringAsciiCase(text, plain + L" - ") ||
            EqualsIgnoringAsciiCase(text, plain)) {
            return 1;
        }
    }
    return 0;
}

}  // namespace tarvox::autocad
