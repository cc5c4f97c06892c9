// CCfgReader: reading and changing values, sections and value types.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_text.h"
#include "config/folder_list.h"
#include "config/section_table.h"
#include "foundation/boundary.h"
#include "foundation/text_compare.h"

#include <cwchar>

namespace {

using tarvox::EqualsIgnoringCaseOrdinal;
using tarvox::StartsWithIgnoringCaseOrdinal;

bool IsEmpty(const wchar_t* text) { return text == nullptr || *text == L'\0'; }

std::wstring TypeKey(const wchar_t* section, const wchar_t* name) {
    return std::wstring(section) + L"\\::" + name;
}

}  // namespace

bool CCfgReader::IsFolderList() {
    if (m_HasVarPath == -1) m_HasVarPath = tarvox::IsFolderListFile(m_File) ? 1 : 0;
    return m_HasVarPath == 1;
}

std::wstring CCfgReader::ConvertValueOut(const std::wstring& value) {
    std::wstring converted;
    if (IsFolderList() && tarvox::GetFolderListConversion()(value, true, converted)) {
        return converted;
    }
    return value;
}

std::wstring CCfgReader::ConvertValueIn(const std::wstring& value) {
    std::wstring converted;
    if (IsFolderList() && tarvox::GetFolderListConversion()(value, false, converted)) {
        return converted;
    }
    return value;
}

int CCfgReader::GetValue(std::wstring& text, const wchar_t* section, const wchar_t* name,
                         const wchar_t* defaultText) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, text), [&]() -> int {
        tarvox::SectionTable sections = Sections();
        std::size_t position = 0;
        if (section == nullptr || !sections.Find(section, position)) {
            if (m_Central != nullptr) return m_Central->GetValue(text, section, name, defaultText);
            text = defaultText != nullptr ? defaultText : L"";
            return 0;
        }
        long long index = 0;
        if (name != nullptr && FindSortedString(name, sections.SortedNames(position), index) == 1) {
            const long long line = sections.SortedLines(position)[static_cast<std::size_t>(index)];
            std::wstring_view entryName;
            std::wstring_view value;
            if (!tarvox::SplitCfgEntryView(m_Data[static_cast<std::size_t>(line)], entryName,
                                           value)) {
                return 0;
            }
            // Assigned into the caller's string, whose room a loop of lookups reuses.
            if (IsFolderList()) {
                text = ConvertValueOut(std::wstring(value));
            } else {
                text.assign(value);
            }
            return 1;
        }
        if (std::wstring value; FindPendingValue(position, name, value)) {
            text = ConvertValueOut(value);
            return 1;
        }
        if (m_Central != nullptr) return m_Central->GetValue(text, section, name, defaultText);
        if (defaultText == nullptr) return 0;
        text = defaultText;
        return 1;
    });
}

int CCfgReader::SetCommentedOutValue(const std::wstring& section, const std::wstring& name,
                                     const std::wstring& value) {
    PlacePendingEntries();
    const std::wstring header = L"[" + section + L"]";
    const std::wstring prefix = name + L"=";
    for (std::size_t line = 0; line < m_Data.size(); ++line) {
        if (!EqualsIgnoringCaseOrdinal(m_Data[line], header)) continue;
        for (std::size_t entry = line + 1; entry < m_Data.size(); ++entry) {
            const std::wstring& text = m_Data[entry];
            if (!text.empty() && text.front() == L'[') return 0;
            if (!text.empty() && StartsWithIgnoringCaseOrdinal(text, prefix)) {
                const std::wstring replaced = prefix + value;
                if (replaced != text) {
                    m_Data[entry] = replaced;
                    m_HasChanged = 1;
                }
                return 1;
            }
        }
        return 0;
    }
    return 0;
}

int CCfgReader::SetValue(const wchar_t* section, const wchar_t* name, const wchar_t* value) {
    return tarvox::Guard(0, [&]() -> int {
        if (IsEmpty(section) || IsEmpty(name)) return 0;
        std::wstring text = value != nullptr ? value : L"";
        const std::wstring entryName = name;
        if ((entryName.starts_with(L";;") || entryName.starts_with(L"//")) &&
            SetCommentedOutValue(section, entryName, text) == 1) {
            return 1;
        }
        text = ConvertValueIn(text);

        // One search finds the entry, a waiting entry or neither; a value that the reader or its
        // central chain already has is not stored again.
        tarvox::SectionTable sections = Sections();
        std::size_t position = 0;
        const bool sectionFound = sections.Find(section, position);
        long long index = 0;
        const bool entryFound =
            sectionFound && FindSortedString(name, sections.SortedNames(position), index) == 1;
        const long long foundLine =
            entryFound ? sections.SortedLines(position)[static_cast<std::size_t>(index)] : -1;
        std::wstring current;
        bool known = false;
        if (entryFound) {
            std::wstring storedName;
            known = tarvox::SplitCfgEntry(m_Data[static_cast<std::size_t>(foundLine)], storedName,
                                          current);
        } else if (sectionFound) {
            known = FindPendingValue(position, name, current);
        }
        if (known) {
            current = ConvertValueOut(current);
        } else if (m_Central != nullptr) {
            known = m_Central->GetValue(current, section, name, nullptr) == 1;
        }
        if (known && current == text) return 1;

        if (!entryFound && sectionFound) {
            AddPendingValue(position, name, text);
            return 1;
        }
        // The new line is made before the reader changes: adding the entry is the last step that
        // can fail, and it fails whole.
        std::wstring line;
        if (entryFound) {
            const std::wstring& stored = m_Data[static_cast<std::size_t>(foundLine)];
            const std::size_t equals = stored.find(L'=');
            if (equals == std::wstring::npos) return 0;
            line = stored.substr(0, equals + 1) + text;
        } else {
            line = std::wstring(name) + L"=" + text;
        }
        const long long at = entryFound ? foundLine : FindOrAddEntry(section, name);
        if (at < 0 || static_cast<std::size_t>(at) >= m_Data.size()) return 0;
        m_Data[static_cast<std::size_t>(at)] = std::move(line);
        m_HasChanged = 1;
        return 1;
    });
}

int CCfgReader::GetNumberValue(int& number, const wchar_t* section, const wchar_t* name,
                               int defaultNumber, int asBoolean) {
    return tarvox::GuardOr(
        [&]() noexcept {
            number = defaultNumber;
            return 0;
        },
        [&]() -> int {
            if (asBoolean == 1 && defaultNumber != 1) defaultNumber = 0;
            std::wstring text;
            if (GetValue(text, section, name, L"_Null") == 0) {
                number = defaultNumber;
                return 0;
            }
            if (text == L"_Null" || text.empty()) {
                number = defaultNumber;
            } else if (asBoolean == 1) {
                if (EqualsIgnoringCaseOrdinal(text, L"True")) {
                    number = 1;
                } else if (EqualsIgnoringCaseOrdinal(text, L"False")) {
                    number = 0;
                } else {
                    number = static_cast<int>(std::wcstol(text.c_str(), nullptr, 10)) != 0 ? 1 : 0;
                }
            } else {
                number = static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
            }
            return 1;
        });
}

int CCfgReader::SetNumberValue(const wchar_t* section, const wchar_t* name, long long value,
                               int asBoolean) {
    return tarvox::Guard(0, [&]() -> int {
        const std::wstring text =
            asBoolean == 1 ? std::wstring(value != 0 ? L"True" : L"False") : std::to_wstring(value);
        return SetValue(section, name, text.c_str());
    });
}

long long CCfgReader::FindOrAddEntry(const wchar_t* section, const wchar_t* name) {
    return tarvox::Guard(-1LL, [&]() -> long long {
        if (IsEmpty(section)) return -1;
        PlacePendingEntries();
        tarvox::SectionTable sections = Sections();
        // The new lines and the room for them are made before anything changes: a failure leaves
        // the reader as it was.
        std::size_t position = 0;
        if (!sections.Find(section, position)) {
            const bool separate = !m_Data.empty() && !m_Data.back().empty();
            std::wstring header = L"[" + std::wstring(section) + L"]";
            std::wstring entry = IsEmpty(name) ? std::wstring() : std::wstring(name) + L"=";
            std::wstring entryName = IsEmpty(name) ? std::wstring() : std::wstring(name);
            m_Data.reserve(m_Data.size() + 3);
            // The new section has room for its first entry.
            sections.Insert(position, section,
                            static_cast<long long>(m_Data.size() + (separate ? 1 : 0)));
            m_HasChanged = 1;
            if (separate) m_Data.emplace_back();
            m_Data.push_back(std::move(header));
            if (IsEmpty(name)) return static_cast<long long>(position);
            m_Data.push_back(std::move(entry));
            const auto line = static_cast<long long>(m_Data.size() - 1);
            sections.AddFirstEntry(position, 0, std::move(entryName), line);
            return line;
        }
        if (IsEmpty(name)) return static_cast<long long>(position);
        long long index = 0;
        if (FindSortedString(name, sections.SortedNames(position), index) == 1) {
            return sections.SortedLines(position)[static_cast<std::size_t>(index)];
        }
        // The new line goes directly after the section's header.
        const long long header = sections.Header(position);
        std::wstring entry = std::wstring(name) + L"=";
        std::wstring entryName(name);
        tarvox::LineInsertions inserted;
        inserted.Add(header, 1);
        m_Data.reserve(m_Data.size() + 1);
        sections.ReserveEntry(position);
        m_HasChanged = 1;
        m_Data.insert(m_Data.begin() + static_cast<std::ptrdiff_t>(header + 1), std::move(entry));
        sections.ShiftLineIndexes(inserted);
        sections.AddFirstEntry(position, static_cast<std::size_t>(index), std::move(entryName),
                               header + 1);
        return header + 1;
    });
}

int CCfgReader::GetSectionName(std::wstring& name, long long index) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, name), [&]() -> int {
        name.clear();
        if (index < 0) return 0;
        PlacePendingEntries();
        const auto isHeader = [this](long long line) {
            return line >= 0 && static_cast<std::size_t>(line) < m_Data.size() &&
                   !m_Data[static_cast<std::size_t>(line)].empty() &&
                   m_Data[static_cast<std::size_t>(line)].front() == L'[';
        };
        const auto localCount = static_cast<long long>(m_KeyIndex.size());
        if (index < localCount) {
            if (!isHeader(m_KeyIndex[static_cast<std::size_t>(index)])) {
                m_KeyIndex.clear();
                for (std::size_t line = 0; line < m_Data.size(); ++line) {
                    if (isHeader(static_cast<long long>(line))) {
                        m_KeyIndex.push_back(static_cast<long long>(line));
                    }
                }
                if (index >= static_cast<long long>(m_KeyIndex.size())) return 0;
            }
            const std::wstring& header =
                m_Data[static_cast<std::size_t>(m_KeyIndex[static_cast<std::size_t>(index)])];
            const std::size_t close = header.find(L']');
            name = header.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
            return 1;
        }
        if (m_Central == nullptr) return 0;
        long long wanted = index - localCount;
        std::wstring central;
        const tarvox::SectionTable sections = Sections();
        for (long long k = 0; m_Central->GetSectionName(central, k) == 1; ++k) {
            std::size_t position = 0;
            if (sections.Find(central.c_str(), position)) continue;
            if (wanted-- == 0) {
                name = central;
                return 1;
            }
        }
        return 0;
    });
}

int CCfgReader::GetSectionEntries(std::vector<std::wstring>& names,
                                  std::vector<std::wstring>& values, const wchar_t* section,
                                  int withCentral, int orderMode) {
    const std::size_t namesBefore = names.size();
    const std::size_t valuesBefore = values.size();
    return tarvox::GuardOr(
        [&]() noexcept {
            names.resize(namesBefore);
            values.resize(valuesBefore);
            return 0;
        },
        [&]() -> int {
            if (section == nullptr) return 0;
            PlacePendingEntries();
            int result = 0;
            std::vector<std::wstring> foundNames;
            std::vector<std::wstring> foundValues;
            tarvox::SectionTable sections = Sections();
            std::size_t position = 0;
            if (sections.Find(section, position)) {
                for (const long long line : sections.FileOrderLines(position)) {
                    std::wstring name;
                    std::wstring value;
                    if (!tarvox::SplitCfgEntry(m_Data[static_cast<std::size_t>(line)], name,
                                               value)) {
                        continue;
                    }
                    foundNames.push_back(std::move(name));
                    foundValues.push_back(ConvertValueOut(value));
                }
                result = 1;
            }
            if (withCentral == 1 && m_Central != nullptr &&
                m_Central->GetSectionEntries(foundNames, foundValues, section, 1, 0) == 1) {
                result = 1;
            }
            if (orderMode == 1 || orderMode == 2) {
                std::vector<std::wstring> keys;
                std::vector<std::wstring> sortedNames;
                std::vector<std::wstring> sortedValues;
                for (std::size_t i = 0; i < foundNames.size(); ++i) {
                    const std::wstring key = orderMode == 1
                                                 ? foundNames[i] + L"=" + foundValues[i]
                                                 : foundValues[i] + L"$$=$$" + foundNames[i];
                    long long index = 0;
                    if (FindSortedString(key.c_str(), keys, index) == 1) ++index;
                    const auto at = static_cast<std::ptrdiff_t>(index);
                    keys.insert(keys.begin() + at, key);
                    sortedNames.insert(sortedNames.begin() + at, foundNames[i]);
                    sortedValues.insert(sortedValues.begin() + at, foundValues[i]);
                }
                foundNames = std::move(sortedNames);
                foundValues = std::move(sortedValues);
            }
            names.insert(names.end(), foundNames.begin(), foundNames.end());
            values.insert(values.end(), foundValues.begin(), foundValues.end());
            return result;
        });
}

void CCfgReader::SetValueType(const wchar_t* section, const wchar_t* name, long long type) {
    tarvox::GuardVoid([&] {
        if (section == nullptr || name == nullptr) return;
        const std::wstring key = TypeKey(section, name);
        long long index = 0;
        if (FindSortedString(key.c_str(), m_TypesIndex, index) == 1) {
            m_Types[static_cast<std::size_t>(index)] = type;
            return;
        }
        // Room in both first: the two stay in step whatever fails.
        std::wstring entry = key;
        m_TypesIndex.reserve(m_TypesIndex.size() + 1);
        m_Types.reserve(m_Types.size() + 1);
        m_TypesIndex.insert(m_TypesIndex.begin() + static_cast<std::ptrdiff_t>(index),
                            std::move(entry));
        m_Types.insert(m_Types.begin() + static_cast<std::ptrdiff_t>(index), type);
    });
}

long long CCfgReader::GetValueType(const wchar_t* section, const wchar_t* name) {
    return tarvox::Guard(static_cast<long long>(REG_SZ), [&]() -> long long {
        if (section == nullptr || name == nullptr) return REG_SZ;
        const std::wstring key = TypeKey(section, name);
        long long index = 0;
        if (FindSortedString(key.c_str(), m_TypesIndex, index) != 1) return REG_SZ;
        return m_Types[static_cast<std::size_t>(index)];
    });
}
