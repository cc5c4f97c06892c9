// Wine's rpcndr.h defines MIDL_INTERFACE as a plain struct and DECLSPEC_UUID as nothing, so the
// interfaces carry no GUID and __uuidof fails. The Windows SDK attaches the GUID as here.
#pragma once
#include_next <rpcndr.h>

#undef DECLSPEC_UUID
#define DECLSPEC_UUID(x) __declspec(uuid(x))
#undef MIDL_INTERFACE
#define MIDL_INTERFACE(x) struct __declspec(uuid(x)) DECLSPEC_NOVTABLE
