#include "paths/edition_record.h"

#include <cstdint>
#include <cstring>

namespace tarvox {

EditionRecord::EditionRecord() {
    // Page read-write, committed: every process that opens the name sees the same bytes, and a
    // new section starts zero-filled.
    m_mapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_COMMIT,
                                       0, kEditionRecordBytes, kEditionRecordName));
    if (m_mapping.Valid()) {
        m_view.Reset(MapViewOfFile(m_mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                                   kEditionRecordBytes));
    }
}

const BYTE* EditionRecord::Bytes() const {
    return m_view.Valid() ? static_cast<const BYTE*>(m_view.Get()) : m_private;
}

int EditionRecord::Code() const {
    std::int32_t code = 0;
    std::memcpy(&code, Bytes() + kEditionCodeOffset, sizeof(code));
    return code;
}

std::wstring EditionRecord::ProductName() const {
    wchar_t name[kEditionNameUnits];
    std::memcpy(name, Bytes(), sizeof(name));
    name[kEditionNameUnits - 1] = L'\0';  // a writer that forgot the terminator cannot run us off
    return name;
}

}  // namespace tarvox
