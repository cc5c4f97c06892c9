// CCfgReader: member access, flags and the central reader.
#include <tarvox/config.h>

#include "foundation/boundary.h"

#include "config/section_table.h"

tarvox::SectionTable CCfgReader::Sections() {
    return {
        m_KeyStrings,           m_KeySortedIndex,       m_KeyIndex, m_VariablesSortedIndexArrays,
        m_VariablesIndexArrays, m_VariablesStringArrays};
}

int CCfgReader::IsInit() { return m_IsInit; }
int CCfgReader::IsLocked() { return m_IsLocked; }

int CCfgReader::GetSortedKeyArray(std::vector<std::wstring>** keys) {
    if (m_IsInit != 1 || keys == nullptr) return 0;
    *keys = &m_KeyStrings;
    return 1;
}

template <class Member>
Member& CCfgReader::WithPendingPlaced(Member& member) {
    tarvox::GuardVoid([this] { PlacePendingEntries(); });
    return member;
}

std::vector<std::wstring>& CCfgReader::GetDataArray() { return WithPendingPlaced(m_Data); }
std::vector<std::wstring>& CCfgReader::Get_m_Data() { return WithPendingPlaced(m_Data); }
CCfgReader* CCfgReader::Get_m_Central() { return m_Central; }
std::wstring& CCfgReader::Get_m_File() { return m_File; }
std::wstring& CCfgReader::Get_m_Original() { return m_Original; }
TextFileType::Type& CCfgReader::Get_m_FileType() { return m_FileType; }
int& CCfgReader::Get_m_HasChanged() { return m_HasChanged; }
int& CCfgReader::Get_m_HasVarPath() { return m_HasVarPath; }
int& CCfgReader::Get_m_IsInit() { return m_IsInit; }
int& CCfgReader::Get_m_IsLocked() { return m_IsLocked; }
int& CCfgReader::Get_m_IsRegistry() { return m_IsRegistry; }
int& CCfgReader::Get_m_IsSavedInDrawing() { return m_IsSavedInDrawing; }
int& CCfgReader::Get_m_ReadOnly() { return m_ReadOnly; }
long long& CCfgReader::Get_m_Timeout() { return m_Timeout; }
std::vector<long long>& CCfgReader::Get_m_KeyIndex() { return WithPendingPlaced(m_KeyIndex); }
std::vector<long long>& CCfgReader::Get_m_KeySortedIndex() {
    return WithPendingPlaced(m_KeySortedIndex);
}
std::vector<long long>& CCfgReader::Get_m_Types() { return m_Types; }
std::vector<long long>& CCfgReader::Get_m_VariablesIndexArrays() {
    return WithPendingPlaced(m_VariablesIndexArrays);
}
std::vector<long long>& CCfgReader::Get_m_VariablesSortedIndexArrays() {
    return WithPendingPlaced(m_VariablesSortedIndexArrays);
}
std::vector<long long>& CCfgReader::Get_m_VariablesStringArrays() {
    return WithPendingPlaced(m_VariablesStringArrays);
}
std::vector<std::wstring>& CCfgReader::Get_m_KeyStrings() { return m_KeyStrings; }
std::vector<std::wstring>& CCfgReader::Get_m_TypesIndex() { return m_TypesIndex; }

int CCfgReader::SetReadOnly(int readOnly) {
    const int previous = m_ReadOnly;
    m_ReadOnly = readOnly;
    return previous;
}

int CCfgReader::SetRegistryType(int flags) {
    const int previous = m_IsRegistry;
    m_IsRegistry = flags;
    return previous;
}

int CCfgReader::SetSaveToDrawing(int saveToDrawing) {
    const int previous = m_IsSavedInDrawing;
    m_IsSavedInDrawing = saveToDrawing;
    return previous;
}

long long CCfgReader::SetTimeout(long long milliseconds) {
    const long long previous = m_Timeout;
    m_Timeout = milliseconds;
    return previous;
}

int CCfgReader::SetCentral(CCfgReader* central) { return SetCentral(central, 1); }

int CCfgReader::SetCentral(CCfgReader* central, int deleteCurrent) {
    if (deleteCurrent == 1 && m_Central != central) delete m_Central;
    m_Central = central;
    return 1;
}

void CCfgReader::Delete() {
    SetCentral(nullptr, 1);
    Clear();
}

const wchar_t* CCfgReader::Str(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}
