// Creating and loading MSXML2 documents for the library's own readers.
#pragma once

#include <tarvox/xml.h>

namespace tarvox {

// A new MSXML2 DOMDocument, in process, with the class's defaults. COM is not initialised
// here: the calling thread has it initialised already.
HRESULT CreateDomDocument(CXMLHelpers::DocPtr& doc);

// A new document loaded from a file with the DOM's own `load`, given the file's path: the
// file's byte-order mark or XML declaration decides its encoding. On failure doc is empty.
// COM is not initialised here either.
bool LoadDomDocumentFromPath(const wchar_t* path, CXMLHelpers::DocPtr& doc);

}  // namespace tarvox
