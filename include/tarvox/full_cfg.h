// A set of configuration readers kept under one configuration file name.
#pragma once

#include <tarvox/config.h>
#include <tarvox/export.h>
#include <tarvox/object.h>

#include <string>
#include <vector>

class TARVOX_API CFullCfg : public tarvox::CObject {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "CFullCfg"

    CFullCfg();
    ~CFullCfg() override;  // deletes every reader of the set

    CFullCfg(const CFullCfg&) = delete;
    CFullCfg& operator=(const CFullCfg&) = delete;

    // The initialised flag (0 after construction), for the owner to set.
    int& IsInit();
    // The configuration file name of the set.
    std::wstring& Get_m_cfgFile();

private:
    // The members keep this order in memory: flag, names, readers, file name.
    int m_IsInit = 0;

public:
    // The readers of the set and their names at the same indices; the set owns the readers.
    std::vector<std::wstring> m_Names;
    std::vector<CCfgReader*> m_Objects;

private:
    std::wstring m_cfgFile;
};
