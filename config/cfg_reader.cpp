// CCfgReader: construction, loading, indexing and composing.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_file_io.h"
#include "config/cfg_registry.h"
#include "config/cfg_text.h"
#include "config/entry_order.h"
#include "xml/code_pages.h"
#include "xml/text_codec.h"
#include "foundation/registry_access.h"
#include "foundation/text_compare.h"

#include <map>
#include <memory>

namespace {

constexpr long long kDefaultTimeout = 5000;

template <class T>
T* AsPointer(long long entry) {
    return reinterpret_cast<T*>(static_cast<std::intptr_t>(entry));
}

template <class T>
long long AsEntry(T* pointer) {
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(pointer));
}

// A section's three arrays (sorted lines, lines in file order, sorted names) as the 64-bit
// entries the reader keeps. All three are made before any is handed over, so that a failed
// allocation leaves the indexes whole.
struct SectionArrays {
    long long sortedLines;
    long long fileOrderLines;
    long long sortedNames;
};

SectionArrays NewSectionArrays() {
    auto sorted = std::make_unique<std::vector<long long>>();
    auto fileOrder = std::make_unique<std::vector<long long>>();
    auto names = std::make_unique<std::vector<std::wstring>>();
    return {AsEntry(sorted.release()), AsEntry(fileOrder.release()), AsEntry(names.release())};
}

}  // namespace

const tarvox::CRuntimeClass* CCfgReader::GetThisClass() {
    static const tarvox::CRuntimeClass record{L"CCfgReader", tarvox::CObject::GetThisClass()};
    return &record;
}

const tarvox::CRuntimeClass* CCfgReader::GetRuntimeClass() const { return GetThisClass(); }

CCfgReader::CCfgReader() { Init(nullptr, 0); }

CCfgReader::CCfgReader(const wchar_t* path, int registryFlags) { Init(path, registryFlags); }

CCfgReader::~CCfgReader() {
    if (m_HasChanged == 1) Save();
    Clear();
    delete m_Central;
    m_Central = nullptr;
}

int CCfgReader::Init(const wchar_t* path, int registryFlags) {
    m_ReadOnly = 0;
    m_Timeout = kDefaultTimeout;
    m_IsRegistry = registryFlags;
    m_HasChanged = 0;
    if (path == nullptr || *path == L'\0') return m_IsInit;
    return Load(path);
}

void CCfgReader::DeleteSectionArrays() {
    for (const long long entry : m_VariablesSortedIndexArrays) delete AsPointer<IndexArray>(entry);
    for (const long long entry : m_VariablesIndexArrays) delete AsPointer<IndexArray>(entry);
    for (const long long entry : m_VariablesStringArrays) delete AsPointer<NameArray>(entry);
    m_VariablesSortedIndexArrays.clear();
    m_VariablesIndexArrays.clear();
    m_VariablesStringArrays.clear();
}

void CCfgReader::Clear() {
    m_Pending.reset();
    m_Data.clear();
    m_KeyStrings.clear();
    m_KeySortedIndex.clear();
    m_KeyIndex.clear();
    DeleteSectionArrays();
    m_IsInit = 0;
    m_ReadOnly = 0;
    m_Timeout = kDefaultTimeout;
    m_IsRegistry = 0;
    m_HasChanged = 0;
    m_Original.clear();
}

CCfgReader::IndexArray& CCfgReader::SortedLines(std::size_t section) {
    return *AsPointer<IndexArray>(m_VariablesSortedIndexArrays[section]);
}

CCfgReader::IndexArray& CCfgReader::FileOrderLines(std::size_t section) {
    return *AsPointer<IndexArray>(m_VariablesIndexArrays[section]);
}

CCfgReader::NameArray& CCfgReader::SortedNames(std::size_t section) {
    return *AsPointer<NameArray>(m_VariablesStringArrays[section]);
}

void CCfgReader::InsertSection(std::size_t position, const std::wstring& name,
                               long long headerLine) {
    const SectionArrays arrays = NewSectionArrays();
    m_KeyStrings.insert(m_KeyStrings.begin() + static_cast<std::ptrdiff_t>(position), name);
    m_KeySortedIndex.insert(m_KeySortedIndex.begin() + static_cast<std::ptrdiff_t>(position),
                            headerLine);
    m_KeyIndex.push_back(headerLine);
    m_VariablesSortedIndexArrays.insert(
        m_VariablesSortedIndexArrays.begin() + static_cast<std::ptrdiff_t>(position),
        arrays.sortedLines);
    m_VariablesIndexArrays.insert(
        m_VariablesIndexArrays.begin() + static_cast<std::ptrdiff_t>(position),
        arrays.fileOrderLines);
    m_VariablesStringArrays.insert(
        m_VariablesStringArrays.begin() + static_cast<std::ptrdiff_t>(position),
        arrays.sortedNames);
}

bool CCfgReader::FindSection(const wchar_t* section, std::size_t& position) const {
    long long index = 0;
    const int found = FindSortedString(section, m_KeyStrings, index);
    position = static_cast<std::size_t>(index);
    return found == 1;
}

int CCfgReader::Load(const wchar_t* path) {
    if (path != nullptr && *path != L'\0') m_File = path;
    if (m_File.empty()) return 0;

    const int registryFlags = m_IsRegistry;
    Clear();
    m_IsRegistry = registryFlags;

    if (ReadRegistryConfiguration(*this) == 1) {
        m_IsInit = 1;
        m_IsRegistry = tarvox::kCfgFromRegistry | (registryFlags & tarvox::kCfgView64);
        ParseLines(m_Data);
        return m_IsInit;
    }
    m_IsInit = LoadFile();
    return m_IsInit;
}

int CCfgReader::LoadFile() {
    if (m_File.find(L'\\') == std::wstring::npos) return 0;
    // The bytes are read into the room of a wide string: UTF-16 LE text, the usual Unicode
    // file, is then in place once its mark is cut; other encodings are decoded from there.
    // The file is closed as soon as its bytes are in: a writer cannot replace it while it is
    // open.
    static_assert(sizeof(wchar_t) == 2, "UTF-16 text is read in place");
    std::wstring text;
    DWORD read = 0;
    {
        const tarvox::FileTurn turn(m_File, m_Timeout);
        // A file that cannot be opened and is not there is an empty configuration.
        tarvox::FileHandle file = tarvox::OpenForReadingWithRetry(m_File, m_Timeout);
        if (!file.Valid()) return tarvox::IsExistingFile(m_File) ? 0 : 1;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.Get(), &size)) return 0;
        if (size.QuadPart == 0) return 1;
        if (size.QuadPart >= 0x7FFFFFFF) return 0;
        const auto byteCount = static_cast<DWORD>(size.QuadPart);
        text.assign((static_cast<std::size_t>(byteCount) + 1) / 2, L'\0');
        if (!ReadFile(file.Get(), text.data(), byteCount, &read, nullptr)) {
            m_FileType = TextFileType::None;
            return 0;
        }
    }
    const std::string_view raw(reinterpret_cast<const char*>(text.data()), read);
    if (tarvox::DetectTextType(raw) == TextFileType::UnicodeLE) {
        m_FileType = TextFileType::UnicodeLE;
        text.resize(read / 2);
        text.erase(0, 1);
    } else {
        std::wstring decoded;
        TextFileType::Type type = TextFileType::None;
        std::size_t chars = 0;
        const bool ok = tarvox::DecodeText(raw, tarvox::SystemCodePages(), type, decoded, chars);
        m_FileType = type;
        if (!ok) return 0;
        text = std::move(decoded);
    }
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);

    NormalizeRegeditText(text);
    m_Data = tarvox::SplitCfgLines(text);
    // The composed original text goes into the room the file's text had.
    m_Original = std::move(text);
    ParseLines(m_Data);
    return 1;
}

void CCfgReader::ParseLines(std::vector<std::wstring>& lines) {
    PlacePendingEntries();
    if (&lines != &m_Data) m_Data = lines;
    ComposeText(m_Data, m_Original);

    // Lines equal to the central reader's value are dropped by moving the kept lines
    // together (kept counts the lines kept so far); sections are found through a map while
    // parsing and the sorted section arrays are rebuilt from it at the end; each section's
    // entries are collected in file order and sorted once at the end. All of it keeps the
    // load at n log n.
    struct ParsedSection {
        std::wstring name;
        long long header;
        long long sortedLines;
        long long fileOrderLines;
        long long sortedNames;
    };
    std::vector<ParsedSection> sections;
    std::map<std::wstring, std::size_t, tarvox::SystemNameLess> sectionsByName;
    for (std::size_t s = 0; s < m_KeyStrings.size(); ++s) {
        sections.push_back({m_KeyStrings[s], m_KeySortedIndex[s], m_VariablesSortedIndexArrays[s],
                            m_VariablesIndexArrays[s], m_VariablesStringArrays[s]});
        sectionsByName.emplace(m_KeyStrings[s], s);
    }
    bool listMode = false;
    bool listModeUsed = false;
    long long listCounter = 0;
    long long currentSection = -1;
    std::size_t kept = 0;
    for (std::size_t line = 0; line < m_Data.size(); ++line) {
        ++listCounter;
        if (kept != line) m_Data[kept] = std::move(m_Data[line]);
        std::wstring& text = m_Data[kept];
        const tarvox::CfgLineKind kind = tarvox::ClassifyCfgLine(text);
        if (kind == tarvox::CfgLineKind::Empty || kind == tarvox::CfgLineKind::Comment) {
            ++kept;
            continue;
        }
        if (kind == tarvox::CfgLineKind::Header) {
            tarvox::CfgHeader header = tarvox::NormalizeCfgHeader(text);
            text = std::move(header.line);
            const auto at = sectionsByName.lower_bound(header.name);
            if (at == sectionsByName.end() || tarvox::SystemNameLess{}(header.name, at->first)) {
                const SectionArrays arrays = NewSectionArrays();
                sections.push_back({header.name, static_cast<long long>(kept), arrays.sortedLines,
                                    arrays.fileOrderLines, arrays.sortedNames});
                sectionsByName.emplace_hint(at, header.name, sections.size() - 1);
                m_KeyIndex.push_back(static_cast<long long>(kept));
                currentSection = static_cast<long long>(sections.size() - 1);
                listCounter = 0;
            }
            ++kept;
            continue;
        }

        // The value is only looked at for the list-mode switch and the central comparison:
        // it stays a view into the line unless the line is rewritten.
        std::wstring name;
        std::wstring ownValue;
        std::wstring_view nameView;
        std::wstring_view value;
        if (!tarvox::SplitCfgEntryView(text, nameView, value)) {
            if (!listMode) {
                ++kept;
                continue;
            }
            name = tarvox::ListEntryName(listCounter);
            ownValue = std::wstring(tarvox::TrimCfg(text));
            text = name + L"=" + ownValue;
            value = ownValue;
        } else if (tarvox::IsListModeSwitch(nameView, value)) {
            name = std::wstring(nameView);
            listMode = true;
            listModeUsed = true;
            listCounter = 0;
            text = name + L"=0";
            value = L"0";
        } else {
            name = std::wstring(nameView);
        }

        if (currentSection >= 0 && !name.empty()) {
            const ParsedSection& parsed = sections[static_cast<std::size_t>(currentSection)];
            const std::wstring& sectionName = parsed.name;
            if (m_Central != nullptr && !sectionName.empty()) {
                std::wstring central;
                if (m_Central->GetValue(central, sectionName.c_str(), name.c_str(), nullptr) == 1 &&
                    CompareStringOrdinal(central.c_str(), static_cast<int>(central.size()),
                                         value.data(), static_cast<int>(value.size()),
                                         TRUE) == CSTR_EQUAL) {
                    continue;  // not kept: the next line takes its place
                }
            }
            AsPointer<NameArray>(parsed.sortedNames)->push_back(std::move(name));
            AsPointer<IndexArray>(parsed.sortedLines)->push_back(static_cast<long long>(kept));
            AsPointer<IndexArray>(parsed.fileOrderLines)->push_back(static_cast<long long>(kept));
        }
        ++kept;
    }
    m_Data.resize(kept);
    m_KeyStrings.clear();
    m_KeySortedIndex.clear();
    m_VariablesSortedIndexArrays.clear();
    m_VariablesIndexArrays.clear();
    m_VariablesStringArrays.clear();
    for (auto& [name, index] : sectionsByName) {
        ParsedSection& parsed = sections[index];
        m_KeyStrings.push_back(std::move(parsed.name));
        m_KeySortedIndex.push_back(parsed.header);
        m_VariablesSortedIndexArrays.push_back(parsed.sortedLines);
        m_VariablesIndexArrays.push_back(parsed.fileOrderLines);
        m_VariablesStringArrays.push_back(parsed.sortedNames);
    }
    for (std::size_t section = 0; section < m_KeyStrings.size(); ++section) {
        tarvox::SortEntriesByName(SortedNames(section), SortedLines(section),
                                  tarvox::CompareSystemIgnoringCase, tarvox::SystemSortKey);
    }
    if (listModeUsed) ComposeText(m_Data, m_Original);
}

long long CCfgReader::ComposeText(const std::vector<std::wstring>& lines, std::wstring& text) {
    tarvox::ComposeCfgTextInto(lines, text);
    return static_cast<long long>(text.size());
}
