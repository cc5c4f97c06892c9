// CXMLHelpers: documents, new nodes, editing and lookups over MSXML2.
#include <tarvox/xml.h>

#include "foundation/com_scope.h"
#include "foundation/text_compare.h"
#include "foundation/unique_handle.h"
#include "xml/com_text.h"
#include "xml/dom_document.h"
#include "xml/msxml_ids.h"
#include "foundation/boundary.h"

#include <algorithm>
#include <cwchar>
#include <memory>

using Microsoft::WRL::ComPtr;
using tarvox::Bstr;
using tarvox::Variant;

namespace {

// MSXML2 DOMDocument, {F6D90F11-9C73-11D3-B32E-00C04F990BB4}.
constexpr CLSID kDomDocument = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};

constexpr wchar_t kDefaultDocument[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<gbXML>\r\n</gbXML>\r\n";

bool IsEmpty(const wchar_t* text) { return text == nullptr || *text == L'\0'; }

// COM for one operation that creates a document: CoInitialize on entry, undone on leaving only
// when this call was the first to initialise COM on the thread. The caller keeps COM
// initialised for as long as it holds documents and nodes.
tarvox::ComScope DocumentCom() {
    return tarvox::ComScope(tarvox::ComApartment::SingleThreaded,
                            tarvox::ComBalance::AfterFirstInitialisation);
}

// The document a node belongs to (the node itself when it is a document).
ComPtr<IXMLDOMDocument> OwnerDocument(IXMLDOMNode* node) {
    ComPtr<IXMLDOMDocument> doc;
    if (node->get_ownerDocument(doc.GetAddressOf()) == S_OK && doc) return doc;
    doc.Reset();
    node->QueryInterface(__uuidof(IXMLDOMDocument), reinterpret_cast<void**>(doc.GetAddressOf()));
    return doc;
}

// The document in which a node called name is made for owner; null when the name is empty or
// there is no owner.
ComPtr<IXMLDOMDocument> DocumentForNewNode(const wchar_t* name, const ComPtr<IXMLDOMNode>& owner) {
    if (IsEmpty(name) || !owner) return nullptr;
    return OwnerDocument(owner.Get());
}

template <class Interface>
bool AsNode(const ComPtr<Interface>& from, CXMLHelpers::NodePtr& node) {
    return from && from.As(&node) == S_OK;
}

}  // namespace

HRESULT tarvox::CreateDomDocument(CXMLHelpers::DocPtr& doc) {
    doc.Reset();
    return CoCreateInstance(kDomDocument, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IXMLDOMDocument),
                            reinterpret_cast<void**>(doc.GetAddressOf()));
}

bool tarvox::LoadDomDocumentFromPath(const wchar_t* path, CXMLHelpers::DocPtr& doc) {
    if (IsEmpty(path) || FAILED(CreateDomDocument(doc)) || !doc) {
        doc.Reset();
        return false;
    }
    Variant source(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (doc->load(source.Get(), &loaded) != S_OK) {
        doc.Reset();
        return false;
    }
    return true;
}

int CXMLHelpers::GetDocumentFromBuffer(const wchar_t* text, DocPtr& doc) {
    return tarvox::GuardOr(
        [&]() noexcept {
            doc.Reset();
            return 0;
        },
        [&]() -> int {
            if (IsEmpty(text)) text = kDefaultDocument;
            if (text[0] != L'<') {
                const std::wstring markup =
                    std::wstring(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<") + text +
                    L">\r\n</" + text + L">\r\n";
                return GetDocumentFromBuffer(markup.c_str(), doc);
            }
            const tarvox::ComScope com = DocumentCom();
            if (FAILED(tarvox::CreateDomDocument(doc)) || !doc) return 0;
            Bstr xml(text);
            VARIANT_BOOL parsed = VARIANT_FALSE;
            return doc->loadXML(xml.Get(), &parsed) == S_OK ? 1 : 0;
        });
}

int CXMLHelpers::GetNewDocument(DocPtr& doc, const wchar_t* rootName) {
    return tarvox::GuardOr(
        [&]() noexcept {
            doc.Reset();
            return 0;
        },
        [&]() -> int { return GetDocumentFromBuffer(rootName, doc); });
}

int CXMLHelpers::GetDocumentFromFile(const wchar_t* path, DocPtr& doc) {
    return tarvox::GuardOr(
        [&]() noexcept {
            doc.Reset();
            return 0;
        },
        [&]() -> int {
            if (IsEmpty(path)) return 0;
            const tarvox::ComScope com = DocumentCom();
            if (FAILED(tarvox::CreateDomDocument(doc)) || !doc) return 0;
            tarvox::FileHandle file(CreateFileW(path, GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
            if (!file.Valid()) return 0;
            const DWORD size = GetFileSize(file.Get(), nullptr);
            if (size == INVALID_FILE_SIZE) return 0;
            std::wstring buffer(static_cast<std::size_t>(size) * 2 + 1, L'\0');
            DWORD count = 0;
            TextFileType::Type type = TextFileType::None;
            const BOOL read = ReadTextFile(file.Get(), buffer.data(), size, &count, nullptr, &type);
            file.Reset();
            if (!read) return 0;
            buffer.resize(std::min<std::size_t>(count, buffer.size() - 1));
            Bstr xml(buffer.c_str());
            VARIANT_BOOL parsed = VARIANT_FALSE;
            return doc->loadXML(xml.Get(), &parsed) == S_OK ? 1 : 0;
        });
}

int CXMLHelpers::GetNewNode(DocPtr& doc, NodePtr& node, const wchar_t* name) {
    return tarvox::Guard(0, [&]() -> int {
        if (IsEmpty(name)) return 0;
        DocPtr own;
        IXMLDOMDocument* target = doc.Get();
        if (target == nullptr) {
            GetDocumentFromBuffer(nullptr, own);
            target = own.Get();
            if (target == nullptr) return 0;
        }
        ComPtr<IXMLDOMElement> element;
        Bstr tag(name);
        if (target->createElement(tag.Get(), element.GetAddressOf()) != S_OK) return 0;
        return AsNode(element, node) ? 1 : 0;
    });
}

int CXMLHelpers::GetNewNode(NodePtr& node, const wchar_t* name, const wchar_t* text) {
    return tarvox::Guard(0, [&]() -> int {
        if (IsEmpty(name)) return 0;
        const std::wstring tag = name;
        const std::wstring markup = IsEmpty(text) ? L"<" + tag + L"></" + tag + L">"
                                                  : L"<" + tag + L">" + text + L"</" + tag + L">";
        return GetNewNodeFromXMLString(node, markup.c_str());
    });
}

int CXMLHelpers::GetNewNode(const wchar_t* name, const wchar_t* /*text*/, NodePtr& parent,
                            NodePtr& node) {
    return tarvox::Guard(0, [&]() -> int {
        // The element is created without content (the library's callers pass no text).
        node.Reset();
        const ComPtr<IXMLDOMDocument> doc = DocumentForNewNode(name, parent);
        if (!doc) return 0;
        ComPtr<IXMLDOMElement> element;
        Bstr tag(name);
        if (doc->createElement(tag.Get(), element.GetAddressOf()) != S_OK) return 0;
        return AsNode(element, node) ? 1 : 0;
    });
}

int CXMLHelpers::GetNewNode(const wchar_t* name, NodePtr& parent, NodePtr& node) {
    return tarvox::Guard(0, [&]() -> int { return GetNewNode(name, nullptr, parent, node); });
}

int CXMLHelpers::GetNewNodeFromXMLString(NodePtr& node, const wchar_t* xml) {
    return tarvox::Guard(0, [&]() -> int {
        node.Reset();
        if (IsEmpty(xml)) return 0;
        const tarvox::ComScope com = DocumentCom();
        DocPtr doc;
        if (FAILED(tarvox::CreateDomDocument(doc)) || !doc) return 0;
        Bstr text(xml);
        VARIANT_BOOL parsed = VARIANT_FALSE;
        if (doc->loadXML(text.Get(), &parsed) != S_OK || parsed != VARIANT_TRUE) return 0;
        NodePtr first;
        if (doc->get_firstChild(first.GetAddressOf()) != S_OK || !first) return 0;
        return first->cloneNode(VARIANT_TRUE, node.GetAddressOf()) == S_OK && node ? 1 : 0;
    });
}

int CXMLHelpers::GetNewAttribute(const wchar_t* name, const wchar_t* value, NodePtr& owner,
                                 NodePtr& attr) {
    return tarvox::Guard(0, [&]() -> int {
        attr.Reset();
        const ComPtr<IXMLDOMDocument> doc = DocumentForNewNode(name, owner);
        if (!doc) return 0;
        ComPtr<IXMLDOMAttribute> attribute;
        Bstr attrName(name);
        if (doc->createAttribute(attrName.Get(), attribute.GetAddressOf()) != S_OK) return 0;
        if (!AsNode(attribute, attr)) return 0;
        Variant text(value);
        attr->put_nodeValue(text.Get());
        return 1;
    });
}

int CXMLHelpers::AddAttributeNode(const wchar_t* name, const wchar_t* value, NodePtr& element,
                                  NodePtr& attr) {
    return tarvox::Guard(0, [&]() -> int {
        attr.Reset();
        if (!element || IsEmpty(name)) return 0;
        if (value == nullptr) value = L"";
        ComPtr<IXMLDOMNamedNodeMap> map;
        if (element->get_attributes(map.GetAddressOf()) != S_OK || !map) return 0;
        Bstr attrName(name);
        if (map->getNamedItem(attrName.Get(), attr.GetAddressOf()) == S_OK && attr) {
            Variant text(value);
            return attr->put_nodeValue(text.Get()) == S_OK ? 1 : 0;
        }
        attr.Reset();
        NodePtr created;
        if (GetNewAttribute(name, value, element, created) != 1) return 0;
        return map->setNamedItem(created.Get(), attr.GetAddressOf()) == S_OK ? 1 : 0;
    });
}

int CXMLHelpers::ApplyAttributes(NodePtr& element, const AttributePairs& pairs) {
    int result = 1;
    for (int i = 0; i < 7; ++i) {
        if (pairs.names[i] == nullptr) break;
        if (*pairs.names[i] == L'\0') continue;
        NodePtr attr;
        if (AddAttributeNode(pairs.names[i], pairs.values[i], element, attr) != 1) result = 0;
    }
    return result;
}

int CXMLHelpers::AddAttributeNodes(NodePtr& element, const wchar_t* name1, const wchar_t* value1,
                                   const wchar_t* name2, const wchar_t* value2,
                                   const wchar_t* name3, const wchar_t* value3,
                                   const wchar_t* name4, const wchar_t* value4,
                                   const wchar_t* name5, const wchar_t* value5,
                                   const wchar_t* name6, const wchar_t* value6,
                                   const wchar_t* name7, const wchar_t* value7) {
    return tarvox::Guard(0, [&]() -> int {
        const AttributePairs pairs{{name1, name2, name3, name4, name5, name6, name7},
                                   {value1, value2, value3, value4, value5, value6, value7}};
        return ApplyAttributes(element, pairs);
    });
}

int CXMLHelpers::AddChildNode(const wchar_t* name, NodePtr& parent, NodePtr& child,
                              const wchar_t* text, const wchar_t* name1, const wchar_t* value1,
                              const wchar_t* name2, const wchar_t* value2, const wchar_t* name3,
                              const wchar_t* value3, const wchar_t* name4, const wchar_t* value4,
                              const wchar_t* name5, const wchar_t* value5, const wchar_t* name6,
                              const wchar_t* value6, const wchar_t* name7, const wchar_t* value7) {
    return tarvox::Guard(0, [&]() -> int {
        child.Reset();
        if (!parent || IsEmpty(name)) return 0;
        NodePtr fresh;
        if (GetNewNode(fresh, name, text) != 1) return 0;
        if (parent->appendChild(fresh.Get(), child.GetAddressOf()) != S_OK || !child) return 0;
        const AttributePairs pairs{{name1, name2, name3, name4, name5, name6, name7},
                                   {value1, value2, value3, value4, value5, value6, value7}};
        ApplyAttributes(child, pairs);
        return 1;
    });
}

int CXMLHelpers::GetNode(const wchar_t* tagName, DocPtr& doc, NodePtr& node) {
    return tarvox::Guard(0, [&]() -> int {
        node.Reset();
        if (IsEmpty(tagName) || !doc) return 0;
        ComPtr<IXMLDOMNodeList> list;
        Bstr tag(tagName);
        if (doc->getElementsByTagName(tag.Get(), list.GetAddressOf()) != S_OK || !list) return 0;
        long length = 0;
        if (list->get_length(&length) != S_OK || length != 1) return 0;
        return list->get_item(0, node.GetAddressOf()) == S_OK && node ? 1 : 0;
    });
}

int CXMLHelpers::GetNode(const wchar_t* name, NodePtr& parent, NodePtr& node) {
    return tarvox::Guard(0, [&]() -> int {
        // One variable may be passed as both: it then steps down to the child on success.
        if (std::addressof(node) != std::addressof(parent)) node.Reset();
        if (IsEmpty(name) || !parent) return 0;
        ComPtr<IXMLDOMNodeList> children;
        if (parent->get_childNodes(children.GetAddressOf()) != S_OK || !children) return 0;
        long length = 0;
        if (children->get_length(&length) != S_OK) return 0;
        for (long i = 0; i < length; ++i) {
            NodePtr child;
            if (children->get_item(i, child.GetAddressOf()) != S_OK || !child) continue;
            std::wstring childName;
            if (GetNodeName(child, childName) == 1 &&
                tarvox::EqualsIgnoringCaseOrdinal(childName, name)) {
                node = child;
                return 1;
            }
        }
        return 0;
    });
}

int CXMLHelpers::GetAttribute(const wchar_t* name, NodePtr& element, NodePtr& attr) {
    return tarvox::Guard(0, [&]() -> int {
        attr.Reset();
        if (IsEmpty(name) || !element) return 0;
        ComPtr<IXMLDOMNamedNodeMap> map;
        if (element->get_attributes(map.GetAddressOf()) != S_OK || !map) return 0;
        Bstr attrName(name);
        return map->getNamedItem(attrName.Get(), attr.GetAddressOf()) == S_OK && attr ? 1 : 0;
    });
}

int CXMLHelpers::GetAttribute(const wchar_t* tagName, const wchar_t* attrName, DocPtr& doc,
                              NodePtr& attr) {
    return tarvox::Guard(0, [&]() -> int {
        attr.Reset();
        NodePtr element;
        if (GetNode(tagName, doc, element) != 1) return 0;
        return GetAttribute(attrName, element, attr);
    });
}

int CXMLHelpers::GetAttributeValue(const wchar_t* name, NodePtr& element, std::wstring& value) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, value), [&]() -> int {
        NodePtr attr;
        if (GetAttribute(name, element, attr) != 1) return 0;
        Variant text;
        if (attr->get_nodeValue(text.Out()) != S_OK || text.Get().vt != VT_BSTR) return 0;
        const BSTR bstr = text.Get().bstrVal;
        value = bstr != nullptr ? std::wstring(bstr, SysStringLen(bstr)) : std::wstring();
        return 1;
    });
}

int CXMLHelpers::GetNodeName(NodePtr& node, std::wstring& name) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, name),
                           [&]() -> int { return GetNodeName(node.Get(), name); });
}

int CXMLHelpers::GetNodeName(IXMLDOMNode* node, std::wstring& name) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, name), [&]() -> int {
        name.clear();
        if (node == nullptr) return 0;
        Bstr text;
        if (node->get_nodeName(text.Out()) != S_OK) return 0;
        name = text.Text();
        return 1;
    });
}

int CXMLHelpers::GetNodeText(NodePtr& node, std::wstring& text) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, text), [&]() -> int {
        text.clear();
        if (!node) return 0;
        Bstr value;
        if (node->get_text(value.Out()) != S_OK) return 0;
        text = value.Text();
        return 1;
    });
}

int CXMLHelpers::GetNodeText(const wchar_t* name, NodePtr& parent, std::wstring& text) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, text), [&]() -> int {
        text.clear();
        NodePtr child;
        if (GetNode(name, parent, child) != 1) return 0;
        return GetNodeText(child, text);
    });
}
