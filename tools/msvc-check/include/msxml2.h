// Wine's msxml2.h defines ISAXXMLFilter before its base ISAXXMLReader. Its definition is skipped
// there and given here, after the base, as the Windows SDK has it.
#pragma once
#define __ISAXXMLFilter_INTERFACE_DEFINED__
#include_next <msxml2.h>

DEFINE_GUID(IID_ISAXXMLFilter, 0x70409222, 0xca09, 0x4475, 0xac, 0xb8, 0x40, 0x31, 0x2f, 0xe8, 0xd1,
            0x45);
#if defined(__cplusplus) && !defined(CINTERFACE)
MIDL_INTERFACE("70409222-ca09-4475-acb8-40312fe8d145")
ISAXXMLFilter : public ISAXXMLReader {
    virtual HRESULT STDMETHODCALLTYPE getParent(ISAXXMLReader * *pReader) = 0;
    virtual HRESULT STDMETHODCALLTYPE putParent(ISAXXMLReader * reader) = 0;
};
#endif
