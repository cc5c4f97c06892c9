#include <tarvox/full_cfg.h>

TARVOX_IMPLEMENT_RUNTIME_CLASS(CFullCfg, tarvox::CObject)

CFullCfg::CFullCfg() = default;

CFullCfg::~CFullCfg() {
    for (CCfgReader* reader : m_Objects) delete reader;
}

int& CFullCfg::IsInit() { return m_IsInit; }

std::wstring& CFullCfg::Get_m_cfgFile() { return m_cfgFile; }
