// The edition record that the processes of the product family share: a named section of the
// paging file holding the product name text and the edition code.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <string>

namespace tarvox {

inline constexpr wchar_t kEditionRecordName[] = L"$$TarvoxAppSelector$$";
inline constexpr DWORD kEditionRecordBytes = 1044;
inline constexpr std::size_t kEditionNameUnits = 520;  // including the terminator
inline constexpr std::size_t kEditionCodeOffset = 1040;

// Maps the record for the life of the object; a private zero-filled record stands in when the
// section cannot be created.
class EditionRecord {
public:
    EditionRecord();
    EditionRecord(const EditionRecord&) = delete;
    EditionRecord& operator=(const EditionRecord&) = delete;

    int Code() const;
    std::wstring ProductName() const;
    bool IsShared() const { return m_view.Valid(); }

private:
    const BYTE* Bytes() const;

    // The view is unmapped before the mapping is closed (members end in reverse order).
    KernelHandle m_mapping;
    MappedView m_view;
    BYTE m_private[kEditionRecordBytes] = {};
};

}  // namespace tarvox
