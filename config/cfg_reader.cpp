// CCfgReader: construction, loading, indexing and composing.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_file_io.h"
#include "config/cfg_registry.h"
#include "config/cfg_text.h"
#include "config/entry_order.h"
#include "foundation/system_compare.h"

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

}  // namespace

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
    // The three arrays are made first, so that a failed allocation leaves the indexes whole.
    auto sorted = std::make_unique<IndexArray>();
    auto fileOrder = std::make_unique<IndexArray>();
    auto names = std::make_unique<NameArray>();
    m_KeyStrings.insert(m_KeyStrings.begin() + static_cast<std::ptrdiff_t>(position), name);
    m_KeySortedIndex.insert(m_KeySortedIndex.begin() + static_cast<std::ptrdiff_t>(position),
                            headerLine);
    m_KeyIndex.push_back(headerLine);
    m_VariablesSortedIndexArrays.insert(
        m_VariablesSortedIndexArrays.begin() + static_cast<std::ptrdiff_t>(position),
        AsEntry(sorted.release()));
    m_VariablesIndexArrays.insert(
        m_VariablesIndexArrays.begin() + static_cast<std::ptrdiff_t>(position),
        AsEntry(fileOrder.release()));
    m_VariablesStringArrays.insert(
        m_VariablesStringArrays.begin() + static_cast<std::ptrdiff_t>(position),
        AsEntry(names.release()));
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
        m_IsRegistry = 1 | (registryFlags & 0x100);
        ParseLines(m_Data);
        return m_IsInit;
    }
    m_IsInit = LoadFile();
    return m_IsInit;
}

int CCfgReader::LoadFile() {
    if (m_File.find(L'\\') == std::wstring::npos) return 0;
    if (!tarvox::IsExistingFile(m_File)) return 1;

    tarvox::FileHandle file = tarvox::OpenForReadingWithRetry(m_File, m_Timeout);
    if (!file.Valid()) return 0;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return 0;
    if (size.QuadPart == 0) return 1;
    if (size.QuadPart >= 0x7FFFFFFF) return 0;

    const DWORD bytes = static_cast<DWORD>(size.QuadPart);
    std::wstring text(static_cast<std::size_t>(bytes) + 1, L'\0');
    DWORD chars = 0;
    TextFileType::Type type = TextFileType::None;
    const BOOL read = ReadTextFile(file.Get(), text.data(), bytes, &chars, nullptr, &type);
    m_FileType = type;
    if (!read) return 0;
    text.resize(std::min<std::size_t>(chars, text.size() - 1));
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);

    NormalizeRegeditText(text);
    m_Data = tarvox::SplitCfgLines(text);
    ParseLines(m_Data);
    return 1;
}

void CCfgReader::ParseLines(std::vector<std::wstring>& lines) {
    PlacePendingEntries();
    if (&lines != &m_Data) m_Data = lines;
    ComposeText(m_Data, m_Original);

    // Lines equal to the central reader's value are dropped by moving the kept lines
    // together (kept counts the lines kept so far), and each section's entries are collected
    // in file order and sorted once at the end: both keep the load at n log n.
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
            std::size_t position = 0;
            if (!FindSection(header.name.c_str(), position)) {
                InsertSection(position, header.name, static_cast<long long>(kept));
                currentSection = static_cast<long long>(position);
                listCounter = 0;
            }
            ++kept;
            continue;
        }

        std::wstring name;
        std::wstring value;
        if (!tarvox::SplitCfgEntry(text, name, value)) {
            if (!listMode) {
                ++kept;
                continue;
            }
            name = tarvox::ListEntryName(listCounter);
            value = std::wstring(tarvox::TrimCfg(text));
            text = name + L"=" + value;
        } else if (tarvox::IsListModeSwitch(name, value)) {
            listMode = true;
            listModeUsed = true;
            listCounter = 0;
            text = name + L"=0";
            value = L"0";
        }

        if (currentSection >= 0 && !name.empty()) {
            const std::wstring& sectionName = m_KeyStrings[static_cast<std::size_t>(currentSection)];
            if (m_Central != nullptr && !sectionName.empty()) {
                std::wstring central;
                if (m_Central->GetValue(central, sectionName.c_str(), name.c_str(), nullptr) == 1 &&
                    CompareStringOrdinal(central.c_str(), -1, value.c_str(), -1, TRUE) ==
                        CSTR_EQUAL) {
                    continue;  // not kept: the next line takes its place
                }
            }
            const std::size_t section = static_cast<std::size_t>(currentSection);
            SortedNames(section).push_back(std::move(name));
            SortedLines(section).push_back(static_cast<long long>(kept));
            FileOrderLines(section).push_back(static_cast<long long>(kept));
        }
        ++kept;
    }
    m_Data.resize(kept);
    for (std::size_t section = 0; section < m_KeyStrings.size(); ++section) {
        tarvox::SortEntriesByName(SortedNames(section), SortedLines(section),
                                  tarvox::CompareSystemIgnoringCase);
    }
    if (listModeUsed) ComposeText(m_Data, m_Original);
}

long long CCfgReader::ComposeText(const std::vector<std::wstring>& lines, std::wstring& text) {
    text = tarvox::ComposeCfgText(lines);
    return static_cast<long long>(text.size());
}
