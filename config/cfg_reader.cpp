// CCfgReader: construction, loading, indexing and composing.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_file_io.h"
#include "config/cfg_registry.h"
#include "config/cfg_text.h"
#include "config/section_table.h"
#include "foundation/registry_access.h"
#include "foundation/text_compare.h"
#include "text/code_pages.h"
#include "text/text_codec.h"
#include "foundation/boundary.h"

#include <string_view>

namespace {

constexpr long long kDefaultTimeout = 5000;

// True when the central reader has the entry with the same value, case ignored.
bool CentralHasValue(CCfgReader& central, const std::wstring& section, const std::wstring& name,
                     std::wstring_view value) {
    std::wstring text;
    return central.GetValue(text, section.c_str(), name.c_str(), nullptr) == 1 &&
           tarvox::EqualsIgnoringCaseOrdinal(text, value);
}

// Reads one line into the sections (the header line is normalised and list-mode lines are
// rewritten in place). False when the line is to be dropped: its entry has the central
// reader's value.
bool ParseLine(std::wstring& text, long long line, tarvox::SectionLoader& sections,
               tarvox::CfgListMode& list, CCfgReader* central) {
    switch (tarvox::ClassifyCfgLine(text)) {
        case tarvox::CfgLineKind::Empty:
        case tarvox::CfgLineKind::Comment: return true;
        case tarvox::CfgLineKind::Header: {
            tarvox::CfgHeader header = tarvox::NormalizeCfgHeader(text);
            text = std::move(header.line);
            if (sections.Open(header.name, line)) list.number = 0;
            return true;
        }
        case tarvox::CfgLineKind::Other: break;
    }
    // The value stays a view into the line unless the line is rewritten.
    std::wstring name;
    std::wstring_view value;
    std::wstring room;
    if (!tarvox::ReadCfgEntryLine(text, list, name, value, room)) return true;
    const std::wstring* section = sections.CurrentName();
    if (section == nullptr || name.empty()) return true;
    if (central != nullptr && !section->empty() &&
        CentralHasValue(*central, *section, name, value)) {
        return false;
    }
    sections.Add(std::move(name), line);
    return true;
}

}  // namespace

TARVOX_IMPLEMENT_RUNTIME_CLASS(CCfgReader, tarvox::CObject)

CCfgReader::CCfgReader() { Init(nullptr, 0); }

CCfgReader::CCfgReader(const wchar_t* path, int registryFlags) { Init(path, registryFlags); }

CCfgReader::~CCfgReader() {
    // A save that fails here is given up: nothing may leave a destructor.
    if (m_HasChanged == 1) tarvox::Swallow([this] { Save(); });
    Clear();
    delete m_Central;
    m_Central = nullptr;
}

int CCfgReader::Init(const wchar_t* path, int registryFlags) {
    return tarvox::GuardOr(
        [&]() noexcept {
            Clear();
            return 0;
        },
        [&]() -> int {
            m_ReadOnly = 0;
            m_Timeout = kDefaultTimeout;
            m_IsRegistry = registryFlags;
            m_HasChanged = 0;
            // Without a path, Load reloads the file the reader already names.
            return Load(path);
        });
}

void CCfgReader::Clear() {
    m_Pending.reset();
    m_Data.clear();
    Sections().Clear();
    m_IsInit = 0;
    m_ReadOnly = 0;
    m_Timeout = kDefaultTimeout;
    m_IsRegistry = 0;
    m_HasChanged = 0;
    m_Original.clear();
}

int CCfgReader::Load(const wchar_t* path) {
    return tarvox::GuardOr(
        [&]() noexcept {
            Clear();
            return 0;
        },
        [&]() -> int {
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
        });
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
    m_Data = tarvox::CfgFileLines(text, &AnsiByteOfSystem);
    // The composed original text goes into the room the file's text had.
    m_Original = std::move(text);
    ParseLines(m_Data);
    return 1;
}

void CCfgReader::ParseLines(std::vector<std::wstring>& lines) {
    return tarvox::GuardOr([&]() noexcept { Clear(); },
                           [&]() -> void {
                               PlacePendingEntries();
                               if (&lines != &m_Data) m_Data = lines;
                               ComposeText(m_Data, m_Original);

                               // A line dropped for its central value is taken by the next one:
                               // kept counts the lines kept so far.
                               tarvox::SectionLoader sections(Sections());
                               tarvox::CfgListMode list;
                               std::size_t kept = 0;
                               for (std::size_t line = 0; line < m_Data.size(); ++line) {
                                   ++list.number;
                                   if (kept != line) m_Data[kept] = std::move(m_Data[line]);
                                   if (ParseLine(m_Data[kept], static_cast<long long>(kept),
                                                 sections, list, m_Central))
                                       ++kept;
                               }
                               m_Data.resize(kept);
                               sections.Finish();
                               if (list.on) ComposeText(m_Data, m_Original);
                           });
}

long long CCfgReader::ComposeText(const std::vector<std::wstring>& lines, std::wstring& text) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0LL, text), [&]() -> long long {
        tarvox::ComposeCfgTextInto(lines, text);
        return static_cast<long long>(text.size());
    });
}
