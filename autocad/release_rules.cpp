#include "autocad/release_rules.h"

#include <string>
#include <vector>

#include "foundation/text_compare.h"

namespace tarvox::autocad {

namespace {

// One rule: a text that starts at the current position, or (with an empty text) the
// product's UPIRELEASE year.
struct ReleaseRule {
    std::wstring text;
    int upiYear;
    int releaseIndex;
};

bool StartsAt(std::wstring_view name, std::size_t pos, std::wstring_view text) {
    return StartsWithIgnoringAsciiCase(name.substr(pos), text);
}

void AddYearTexts(std::vector<ReleaseRule>& rules, const wchar_t* lead, int from, int to) {
    for (int year = from; year <= to; ++year) {
        rules.push_back({lead + std::to_wstring(year), 0, ReleaseIndexOfYear(year)});
    }
}

void AddUpiYears(std::vector<ReleaseRule>& rules) {
    for (int year = 2018; year <= 2000 + kReleasesPerGroup; ++year) {
        rules.push_back({L"", year, ReleaseIndexOfYear(year)});
    }
}

std::vector<ReleaseRule> MakeLtRules() {
    std::vector<ReleaseRule> rules = {
        {L"2000i", 0, kRelease2000i}, {L"2000", 0, kRelease2000}, {L"2002", 0, kRelease2002}};
    AddYearTexts(rules, L"", 2004, 2017);
    AddUpiYears(rules);
    return rules;
}

std::vector<ReleaseRule> MakeAutoCadRules() {
    std::vector<ReleaseRule> rules = {
        {L"2000i", 0, kRelease2000i}, {L"2000", 0, kRelease2000}, {L"2002", 0, kRelease2002}};
    AddYearTexts(rules, L"", 2004, 2011);
    // From 2012 on the year text needs a leading blank.
    AddYearTexts(rules, L" ", 2012, 2017);
    AddUpiYears(rules);
    return rules;
}

std::vector<ReleaseRule> MakeArchitectureRules() {
    // Architectural Desktop counted its own versions: 2.0 with AutoCAD 2000, 3.0 with 2000i,
    // 3.3 with 2002.
    std::vector<ReleaseRule> rules = {{L"2.0i", 0, kRelease2000i}, {L"2.0", 0, kRelease2000}};
    AddYearTexts(rules, L" ", 2004, 2017);
    AddUpiYears(rules);
    rules.push_back({L" 2", 0, kRelease2000});
    rules.push_back({L" 3.3", 0, kRelease2002});
    rules.push_back({L" 3", 0, kRelease2000i});
    return rules;
}

const std::vector<ReleaseRule>& RulesOf(AcadReleaseGroup group) {
    static const std::vector<ReleaseRule> lt = MakeLtRules();
    static const std::vector<ReleaseRule> autocad = MakeAutoCadRules();
    static const std::vector<ReleaseRule> architecture = MakeArchitectureRules();
    switch (group) {
        case AcadReleaseGroup::Lt: return lt;
        case AcadReleaseGroup::Architecture: return architecture;
        case AcadReleaseGroup::AutoCad: break;
    }
    return autocad;
}

// The decimal number of up to four digits at the start of a text (0 when it has none).
int FourDigitNumber(std::wstring_view text) {
    int number = 0;
    for (std::size_t i = 0; i < text.size() && i < 4; ++i) {
        if (text[i] < L'0' || text[i] > L'9') break;
        number = number * 10 + (text[i] - L'0');
    }
    return number;
}

}  // namespace

bool IsPlainAcadName(std::wstring_view name) {
    return !ContainsIgnoringAsciiCase(name, L" LT ") &&
           !ContainsIgnoringAsciiCase(name, L" Architecture ") &&
           !ContainsIgnoringAsciiCase(name, L" Raster ");
}

AcadReleaseGroup AcadReleaseGroupOfName(std::wstring_view name) {
    if (ContainsIgnoringAsciiCase(name, L" LT ")) return AcadReleaseGroup::Lt;
    bool architecture = false;
    for (std::size_t pos = 0; pos < name.size(); ++pos) {
        if (StartsAt(name, pos, L"Architectural") || StartsAt(name, pos, L" Architecture ")) {
            architecture = true;
            continue;
        }
        constexpr std::wstring_view kAutoCad = L"AutoCAD ";
        if (StartsAt(name, pos, kAutoCad) &&
            FourDigitNumber(name.substr(pos + kAutoCad.size())) >= 2000) {
            break;
        }
    }
    return architecture ? AcadReleaseGroup::Architecture : AcadReleaseGroup::AutoCad;
}

int AcadReleaseIndexOfName(std::wstring_view name, AcadReleaseGroup group, int upiYear) {
    const std::vector<ReleaseRule>& rules = RulesOf(group);
    for (std::size_t pos = 0; pos < name.size(); ++pos) {
        for (const ReleaseRule& rule : rules) {
            const bool fires =
                rule.text.empty() ? rule.upiYear == upiYear : StartsAt(name, pos, rule.text);
            if (fires) return rule.releaseIndex;
        }
    }
    return 0;
}

bool SameProductCodeFamily(std::wstring_view a, std::wstring_view b) {
    constexpr std::size_t kMinimumLength = 25;
    if (a.size() < kMinimumLength || b.size() < kMinimumLength) return false;
    // "{5783F2D7-7001-0407-0012-...}": the release group at 10..13, the product group at 20..23.
    return EqualsIgnoringAsciiCase(a.substr(10, 4), b.substr(10, 4)) &&
           EqualsIgnoringAsciiCase(a.substr(20, 4), b.substr(20, 4));
}

}  // namespace tarvox::autocad
