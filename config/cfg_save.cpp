// CCfgReader: saving to a file or to the registry, and the hand-over to the drawing.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_file_io.h"
#include "config/cfg_registry.h"
#include "config/drawing_handover.h"
#include "foundation/registry_access.h"
#include "xml/code_pages.h"

int CCfgReader::Save() {
    if (m_IsInit != 1) return 0;
    PlacePendingEntries();
    std::wstring text;
    ComposeText(m_Data, text);

    HKEY root = nullptr;
    std::wstring subKey;
    const bool registryForm = ParseRegPath(m_File.c_str(), root, subKey) == 1;
    if (text.empty()) {
        // An emptied configuration is a zero-length file; the registry form stays as it was.
        if (!registryForm) tarvox::ReplaceFileContent(m_File, std::string(), 0);
        return 1;
    }
    if (text == m_Original) return 1;

    // Kept for a failed file write: the next save must still see the text as unsaved.
    std::wstring previousOriginal = std::move(m_Original);
    m_Original = text;
    if (m_IsSavedInDrawing == 1 && !m_File.empty()) {
        std::wstring drawingText;
        ComposeText(tarvox::DrawingLines(m_Data), drawingText);
        tarvox::WriteToDrawing(tarvox::DrawingKey(m_File), drawingText);
    }

    if (registryForm) {
        HKEY key = nullptr;
        if (CreateRegKey(root, subKey.c_str(), &key, tarvox::CfgViewFlag(m_IsRegistry)) != 1 ||
            key == nullptr) {
            return 0;
        }
        int result = 0;
        const std::vector<std::wstring> sections = m_KeyStrings;
        for (const std::wstring& section : sections) {
            std::vector<std::wstring> names;
            std::vector<std::wstring> values;
            GetSectionEntries(names, values, section.c_str(), 0, 0);
            if (WriteRegistrySection(*this, key, section, names, values) == 1) result = 1;
        }
        RegCloseKey(key);
        return result;
    }

    std::string bytes;
    if (m_File.find(L'\\') == std::wstring::npos ||
        !tarvox::EncodeText(text, m_FileType, tarvox::SystemCodePages(), bytes) ||
        !tarvox::ReplaceFileContent(m_File, bytes, m_Timeout)) {
        m_Original = std::move(previousOriginal);
        return 0;
    }
    m_Original = text;
    m_HasChanged = 0;
    return 1;
}
