// COM helpers of the XML operations: BSTR and VARIANT ownership and the per-call COM
// initialisation.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace tarvox {

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text != nullptr ? text : L"")) {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_text; }
    BSTR* Out() {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }
    std::wstring Text() const { return m_text != nullptr ? std::wstring(m_text, SysStringLen(m_text)) : std::wstring(); }

private:
    BSTR m_text = nullptr;
};

// Owns one VARIANT.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    // A VT_BSTR variant holding a copy of text.
    explicit Variant(const wchar_t* text) {
        VariantInit(&m_value);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = SysAllocString(text != nullptr ? text : L"");
    }
    ~Variant() { VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT& Get() { return m_value; }
    VARIANT* Out() {
        VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

// CoInitialize on entry; CoUninitialize on leaving only when this call initialised COM.
class ComScope {
public:
    ComScope() : m_result(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (m_result == S_OK) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

}  // namespace tarvox
