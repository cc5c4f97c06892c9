// CXMLHelpers::CNodeResultArray and the tree walk that fills it.
#include <tarvox/xml.h>

#include "foundation/text_compare.h"

#include <cwchar>

CXMLHelpers::CNodeResultArray::~CNodeResultArray() { Release(); }

void CXMLHelpers::CNodeResultArray::Append(IXMLDOMNode* node, bool owned) {
    m_Nodes.push_back(node);
    m_Owned.push_back(owned);
    if (owned) node->AddRef();
}

void CXMLHelpers::CNodeResultArray::Release() {
    if (m_Nodes.empty()) return;
    for (std::size_t i = 0; i < m_Nodes.size(); ++i) {
        if (m_Owned[i] && m_Nodes[i] != nullptr) m_Nodes[i]->Release();
        m_Nodes[i] = nullptr;
    }
    m_Nodes.clear();
    m_Owned.clear();
    m_Root = nullptr;
}

namespace {

// Appends node (owned by the array when owned is set) and the matching nodes below it.
int Walk(CXMLHelpers::CNodeResultArray& result, IXMLDOMNode* node, const wchar_t* name,
         bool owned, void (*append)(CXMLHelpers::CNodeResultArray&, IXMLDOMNode*, bool)) {
    int found = 0;
    std::wstring nodeName;
    if (name == nullptr ||
        (CXMLHelpers::GetNodeName(node, nodeName) == 1 &&
         tarvox::EqualsIgnoringCaseOrdinal(nodeName, name))) {
        append(result, node, owned);
        found = 1;
    }
    CXMLHelpers::NodePtr child;
    if (node->get_firstChild(child.GetAddressOf()) != S_OK) return found;
    while (child) {
        if (Walk(result, child.Get(), name, true, append) == 1) found = 1;
        CXMLHelpers::NodePtr next;
        if (child->get_nextSibling(next.GetAddressOf()) != S_OK) break;
        child = next;
    }
    return found;
}

}  // namespace

int CXMLHelpers::GetAllNodes(CNodeResultArray& result, IXMLDOMNode* node, const wchar_t* name) {
    if (node == nullptr) node = result.m_Root;
    if (node == nullptr) return 0;
    if (result.m_Root == nullptr) {
        result.Release();
        result.m_Root = node;
    }
    // The node passed in is borrowed; the nodes found below it hold references of the array.
    return Walk(result, node, name, false,
                [](CNodeResultArray& array, IXMLDOMNode* found, bool owned) {
                    array.Append(found, owned);
                });
}
