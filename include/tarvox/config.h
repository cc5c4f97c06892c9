// Sectioned configuration files and their registry form.
//
// A CCfgReader holds one configuration as its text lines (m_Data) plus sorted indexes over
// sections and entries. It may be chained to a central reader that answers for everything the
// reader does not define itself; while loading, local entries equal to the central value are
// dropped. Text is written back with its comments, order and encoding.
#pragma once

#include <tarvox/export.h>
#include <tarvox/object.h>
#include <tarvox/xml.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvox {
class SectionTable;
}

class TARVOX_API CCfgReader : public tarvox::CObject {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "CCfgReader"

    CCfgReader();
    explicit CCfgReader(const wchar_t* path, int registryFlags = 0);
    ~CCfgReader() override;

    CCfgReader(const CCfgReader&) = delete;
    CCfgReader& operator=(const CCfgReader&) = delete;

    // Construction and loading.
    int Init(const wchar_t* path, int registryFlags);
    int Load(const wchar_t* path);
    void Clear();
    void ParseLines(std::vector<std::wstring>& lines);
    long long ComposeText(const std::vector<std::wstring>& lines, std::wstring& text);

    // Values.
    int GetValue(std::wstring& text, const wchar_t* section, const wchar_t* name,
                 const wchar_t* defaultText);
    int SetValue(const wchar_t* section, const wchar_t* name, const wchar_t* value);
    int GetNumberValue(int& number, const wchar_t* section, const wchar_t* name, int defaultNumber,
                       int asBoolean);
    int SetNumberValue(const wchar_t* section, const wchar_t* name, long long value, int asBoolean);
    long long FindOrAddEntry(const wchar_t* section, const wchar_t* name);
    int GetSectionName(std::wstring& name, long long index);
    int GetSectionEntries(std::vector<std::wstring>& names, std::vector<std::wstring>& values,
                          const wchar_t* section, int withCentral, int orderMode);
    void SetValueType(const wchar_t* section, const wchar_t* name, long long type);
    long long GetValueType(const wchar_t* section, const wchar_t* name);
    int Save();

    // State.
    int IsInit();
    int IsLocked();
    int GetSortedKeyArray(std::vector<std::wstring>** keys);
    std::vector<std::wstring>& GetDataArray();
    std::vector<std::wstring>& Get_m_Data();
    CCfgReader* Get_m_Central();
    std::wstring& Get_m_File();
    std::wstring& Get_m_Original();
    TextFileType::Type& Get_m_FileType();
    int& Get_m_HasChanged();
    int& Get_m_HasVarPath();
    int& Get_m_IsInit();
    int& Get_m_IsLocked();
    int& Get_m_IsRegistry();
    int& Get_m_IsSavedInDrawing();
    int& Get_m_ReadOnly();
    long long& Get_m_Timeout();
    std::vector<long long>& Get_m_KeyIndex();
    std::vector<long long>& Get_m_KeySortedIndex();
    std::vector<long long>& Get_m_Types();
    std::vector<long long>& Get_m_VariablesIndexArrays();
    std::vector<long long>& Get_m_VariablesSortedIndexArrays();
    std::vector<long long>& Get_m_VariablesStringArrays();
    std::vector<std::wstring>& Get_m_KeyStrings();
    std::vector<std::wstring>& Get_m_TypesIndex();
    int SetReadOnly(int readOnly);
    int SetRegistryType(int flags);
    int SetSaveToDrawing(int saveToDrawing);
    long long SetTimeout(long long milliseconds);
    int SetCentral(CCfgReader* central);
    int SetCentral(CCfgReader* central, int deleteCurrent);
    void Delete();
    static const wchar_t* Str(const std::wstring& text);

    // Expands the path variables of path into withoutVars with the process's compact table
    // (with the alias variables %AC2020%, %PROG%, ... when aliases is 1) and, when path holds a
    // percent sign, writes the form with variables put back into withVars. 0 for a null or
    // empty path, else 1.
    static int GetPathWithoutVars(std::wstring& withVars, std::wstring& withoutVars,
                                  const wchar_t* path, int aliases);

private:
    // The sections and their entry indexes, over the members below.
    tarvox::SectionTable Sections();
    std::wstring ConvertValueOut(const std::wstring& value);
    std::wstring ConvertValueIn(const std::wstring& value);
    bool IsFolderList();
    int SetCommentedOutValue(const std::wstring& section, const std::wstring& name,
                             const std::wstring& value);
    int LoadFile();

    // New entries of existing sections wait here until something needs the lines: placing
    // them one by one would move every later line and index for each of them.
    struct PendingEntries;
    struct PendingEntriesDeleter {
        void operator()(PendingEntries* pending) const;
    };
    bool FindPendingValue(std::size_t section, const wchar_t* name, std::wstring& value) const;
    void AddPendingValue(std::size_t section, const wchar_t* name, const std::wstring& value);
    void PlacePendingEntries();
    // The accessors of the text and its indexes place waiting entries first; entries that
    // cannot be placed (out of memory) wait on, and the member is handed out either way.
    template <class Member>
    Member& WithPendingPlaced(Member& member);

    TextFileType::Type m_FileType = TextFileType::Ansi;
    std::vector<std::wstring> m_Data;
    std::vector<long long> m_KeySortedIndex;
    std::vector<long long> m_KeyIndex;
    std::vector<std::wstring> m_KeyStrings;
    std::vector<long long> m_VariablesSortedIndexArrays;
    std::vector<long long> m_VariablesIndexArrays;
    std::vector<long long> m_VariablesStringArrays;
    std::vector<std::wstring> m_TypesIndex;
    std::vector<long long> m_Types;
    int m_IsInit = 0;
    int m_ReadOnly = 0;
    int m_IsRegistry = 0;
    int m_HasChanged = 0;
    int m_IsSavedInDrawing = 0;
    std::wstring m_File;
    long long m_Timeout = 5000;
    std::wstring m_Original;
    CCfgReader* m_Central = nullptr;
    int m_IsLocked = 0;
    int m_HasVarPath = -1;
    std::unique_ptr<PendingEntries, PendingEntriesDeleter> m_Pending;
};
