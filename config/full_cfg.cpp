#include <tarvox/full_cfg.h>

const tarvox::CRuntimeClass* CFullCfg::GetThisClass() {
    static const tarvox::CRuntimeClass record{L"CFullCfg", tarvox::CObject::GetThisClass()};
    return &record;
}

const tarvox::CRuntimeClass* CFullCfg::GetRuntimeClass() const { return GetThisClass(); }

CFullCfg::CFullCfg() = default;

CFullCfg::~CFullCfg() {
    for (CCfgReader* reader : m_Objects) delete reader;
}

int& CFullCfg::IsInit() { return m_IsInit; }

std::wstring& CFullCfg::Get_m_cfgFile() { return m_cfgFile; }
