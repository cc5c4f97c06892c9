// CCfgReader: saving to a file or to the registry, and the hand-over to the drawing.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_file_io.h"
#include "config/cfg_registry.h"
#include "config/drawing_handover.h"
#include "foundation/registry_access.h"
#include "foundation/unique_handle.h"
#include "foundation/boundary.h"
#include "text/code_pages.h"

int CCfgReader::Save() {
    return tarvox::Guard(0, [&]() -> int {
        if (m_IsInit != 1) return 0;
        PlacePendingEntries();
        std::wstring text;
        ComposeText(m_Data, text);

        HKEY root = nullptr;
        std::wstring subKey;
        const bool registryForm = ParseRegPath(m_File.c_str(), root, subKey) == 1;
        // m_Original always holds what is on disk (or in the registry): it takes the new text only
        // once that has been written, so that a failed save leaves the change to the next one.
        if (text.empty()) {
            // An emptied configuration is a zero-length file; the registry form stays as it was.
            if (!registryForm && tarvox::ReplaceFileContent(m_File, std::string(), 0)) {
                m_Original.clear();
            }
            return 1;
        }
        if (text == m_Original) return 1;

        if (m_IsSavedInDrawing == 1 && !m_File.empty()) {
            std::wstring drawingText;
            ComposeText(tarvox::DrawingLines(m_Data), drawingText);
            tarvox::WriteToDrawing(tarvox::DrawingKey(m_File), drawingText);
        }

        if (registryForm) {
            tarvox::RegKey key;
            if (CreateRegKey(root, subKey.c_str(), key.Put(), tarvox::CfgViewFlag(m_IsRegistry)) !=
                    1 ||
                !key.Valid()) {
                return 0;
            }
            // Every section is planned before the first value is written: what can fail on the way
            // fails before the key is touched.
            std::vector<RegistrySectionPlan> plans;
            plans.reserve(m_KeyStrings.size());
            for (const std::wstring& section : m_KeyStrings) {
                std::vector<std::wstring> names;
                std::vector<std::wstring> values;
                GetSectionEntries(names, values, section.c_str(), 0, 0);
                plans.push_back(PlanRegistrySection(*this, section, names, values));
            }
            int result = 0;
            bool complete = true;
            for (const RegistrySectionPlan& plan : plans) {
                bool sectionComplete = false;
                if (WriteRegistrySection(*this, key.Get(), plan, &sectionComplete) == 1) result = 1;
                complete = complete && sectionComplete;
            }
            key.Reset();
            if (complete) m_Original = std::move(text);
            return result;
        }

        std::string bytes;
        if (m_File.find(L'\\') == std::wstring::npos ||
            !tarvox::EncodeText(text, m_FileType, tarvox::SystemCodePages(), bytes) ||
            !tarvox::ReplaceFileContent(m_File, bytes, m_Timeout)) {
            return 0;
        }
        m_Original = std::move(text);
        m_HasChanged = 0;
        return 1;
    });
}
