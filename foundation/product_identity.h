// Who the library belongs to: its product year, the names, registry keys and folders of the
// family's products, the editions of the main product with their suffixes, and the add-on's
// section names. Everything that carries the year is built from ProductYear, so the next product
// year is a change of that one line; a new edition is a line of ProductEditionCode and a row of
// kEditions. Plain constants without system calls, so that text code using them builds anywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvox {

// The library's own product year.
inline constexpr int ProductYear = 2020;

// Text fixed at compile time that joins with + (the year goes into many names).
template <std::size_t N>
struct ConstText {
    wchar_t chars[N] = {};

    constexpr ConstText() = default;
    constexpr ConstText(const wchar_t (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
    }
    constexpr const wchar_t* c_str() const { return chars; }
    constexpr std::wstring_view view() const { return {chars, N - 1}; }
};

template <std::size_t A, std::size_t B>
constexpr ConstText<A + B - 1> operator+(const ConstText<A>& a, const ConstText<B>& b) {
    ConstText<A + B - 1> joined;
    for (std::size_t i = 0; i + 1 < A; ++i) joined.chars[i] = a.chars[i];
    for (std::size_t i = 0; i < B; ++i) joined.chars[A - 1 + i] = b.chars[i];
    return joined;
}
template <std::size_t A, std::size_t B>
constexpr ConstText<A + B - 1> operator+(const ConstText<A>& a, const wchar_t (&b)[B]) {
    return a + ConstText<B>(b);
}
template <std::size_t A, std::size_t B>
constexpr ConstText<A + B - 1> operator+(const wchar_t (&a)[A], const ConstText<B>& b) {
    return ConstText<A>(a) + b;
}

constexpr ConstText<5> YearText(int year) {
    ConstText<5> text;
    for (int i = 3; i >= 0; --i, year /= 10) text.chars[i] = static_cast<wchar_t>(L'0' + year % 10);
    return text;
}
static_assert(ProductYear >= 1000 && ProductYear <= 9999, "product names carry a four-digit year");

// "2020"
inline constexpr ConstText kYear = YearText(ProductYear);

// Product names as the edition record, the marker files and the media spell them.
inline constexpr ConstText kArdentName = L"Tarvo Ardent";
inline constexpr ConstText kLuminorName = L"Tarvo Luminor";
inline constexpr ConstText kZenitName = L"Tarvo Zenit";  // the older product line
inline constexpr ConstText kZenitPlusName = L"Tarvo Zenit+";
inline constexpr ConstText kCadName = L"Tarvo CAD";
inline constexpr ConstText kVeskaName = L"Tarvo Veska";  // the second product

// The same of the product year ("Tarvo Ardent 2020"): registry keys, folders, marker files.
inline constexpr auto kArdentOfYear = kArdentName + L" " + kYear;
inline constexpr auto kLuminorOfYear = kLuminorName + L" " + kYear;
inline constexpr auto kArdentExtAcaOfYear = kArdentName + L"_ExtACA " + kYear;
inline constexpr auto kVeskaOfYear = kVeskaName + L" " + kYear;

// The family's folder below the application-data folders, and its registry key under both hives.
inline constexpr ConstText kFamilyFolder = L"Tarvox";
inline constexpr auto kFamilyKey = L"Software\\" + kFamilyFolder;

// The products' keys of the product year, as subkeys and as registry paths of the machine.
inline constexpr auto kArdentKey = kFamilyKey + L"\\" + kArdentOfYear;
inline constexpr auto kVeskaKey = kFamilyKey + L"\\" + kVeskaOfYear;
inline constexpr auto kArdentMachinePath = L"HKEY_LOCAL_MACHINE\\" + kArdentKey;
inline constexpr auto kVeskaMachinePath = L"HKEY_LOCAL_MACHINE\\" + kVeskaKey;

// Keys and per-user folders of any year: formats with %d for the year. Before kFirstArdentYear
// the main product's key carries the older line's name.
inline constexpr int kFirstArdentYear = 2017;
inline constexpr auto kArdentKeyFormat = kFamilyKey + L"\\" + kArdentName + L" %d";
inline constexpr auto kZenitKeyFormat = kFamilyKey + L"\\" + kZenitName + L" %d";
inline constexpr auto kVeskaKeyFormat = kFamilyKey + L"\\" + kVeskaName + L" %d";
inline constexpr auto kArdentFolderFormat = kFamilyFolder + L"\\" + kArdentName + L" %d";
inline constexpr auto kVeskaFolderFormat = kFamilyFolder + L"\\" + kVeskaName + L" %d";

// Path variables and environment variables of the product year.
inline constexpr auto kArdentFolderVar = L"%TarvoArdent_" + kYear + L"%";
inline constexpr auto kArdentUserFolderVar = L"%TarvoArdent_" + kYear + L"_U%";
inline constexpr ConstText kArdentHelpVar = L"%TarvoArdent_HELP%";
inline constexpr auto kVeskaUserFolderVar = L"%TarvoVeska_" + kYear + L"_U%";
inline constexpr auto kArdentConfigVariable = L"TarvoArdent_" + kYear + L"_CFG_L";
inline constexpr auto kVeskaConfigVariable = L"TarvoVeska_" + kYear + L"_CFG_L";

// The editions of the main product (ProductEdition).
enum ProductEditionCode : int {
    kEditionUnknown = 0,
    kEditionZenit = 1,
    kEditionZenitPlus = 2,
    kEditionLuminor = 3,
    kEditionArdent = 4,
    kEditionCad = 5,
};

struct EditionIdentity {
    int code;
    std::wstring_view productName;
    // Joined with an underscore to the names of values and sections that differ by edition
    // ("AppData_LU", "AutoCAD_AR"); empty for the editions that use the plain names.
    std::wstring_view suffix;
};

inline constexpr EditionIdentity kEditions[] = {
    {kEditionZenit, kZenitName.view(), L""},       {kEditionZenitPlus, kZenitPlusName.view(), L""},
    {kEditionLuminor, kLuminorName.view(), L"LU"}, {kEditionArdent, kArdentName.view(), L"AR"},
    {kEditionCad, kCadName.view(), L""},
};

// "Tarvo Zenit", "Tarvo Zenit+", "Tarvo Luminor", "Tarvo Ardent", "Tarvo CAD"; "" otherwise.
constexpr std::wstring_view EditionProductName(int code) {
    for (const EditionIdentity& edition : kEditions) {
        if (edition.code == code) return edition.productName;
    }
    return {};
}

// "LU", "AR" or "".
constexpr std::wstring_view EditionSuffix(int code) {
    for (const EditionIdentity& edition : kEditions) {
        if (edition.code == code) return edition.suffix;
    }
    return {};
}

// name, followed by an underscore and the edition's suffix when it has one.
inline std::wstring WithEditionSuffix(std::wstring_view name, int code) {
    std::wstring result(name);
    if (const std::wstring_view suffix = EditionSuffix(code); !suffix.empty()) {
        result += L'_';
        result += suffix;
    }
    return result;
}

// The add-on's section of its configuration and subkey of its key (with the edition's suffix).
inline constexpr ConstText kAddOnSection = L"AutoCAD";

}  // namespace tarvox
