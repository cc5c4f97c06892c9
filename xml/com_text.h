// COM helpers of the XML operations: BSTR and VARIANT ownership.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace tarvox {

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text != nullptr ? text : L"")) {}
    BSTR Get() const { return m_text.Get(); }
    BSTR* Out() { return m_text.Put(); }
    std::wstring Text() const {
        return m_text.Valid() ? std::wstring(m_text.Get(), SysStringLen(m_text.Get()))
                              : std::wstring();
    }

private:
    UniqueBstr m_text;
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

}  // namespace tarvox
