// CXMLHelpers::CNodeResultArray and the tree walk that fills it.
#include <tarvox/xml.h>

#include "foundation/text_compare.h"

#include <cwchar>
#include "foundation/boundary.h"

CXMLHelpers::CNodeResultArray::~CNodeResultArray() { Release(); }

void CXMLHelpers::CNodeResultArray::Append(IXMLDOMNode* node, bool owned) {
    // Room in both arrays first: they stay the same length whatever fails.
    m_Nodes.reserve(m_Nodes.size() + 1);
    m_Owned.reserve(m_Owned.size() + 1);
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

int CXMLHelpers::GetAllNodes(CNodeResultArray& result, IXMLDOMNode* node, const wchar_t* name) {
    return tarvox::Guard(0, [&]() -> int {
        if (node == nullptr) node = result.m_Root;
        if (node == nullptr) return 0;
        if (result.m_Root == nullptr) {
            result.Release();
            result.m_Root = node;
        }
        // The node passed in is borrowed; the nodes found below it hold references of the array.
        // Pre-order without recursion, so that a document nested arbitrarily deep cannot exhaust
        // the stack: path holds the nodes from the first level below the start down to the
        // current one.
        int found = 0;
        const auto visit = [&](IXMLDOMNode* visited, bool owned) {
            std::wstring nodeName;
            if (name == nullptr || (GetNodeName(visited, nodeName) == 1 &&
                                    tarvox::EqualsIgnoringCaseOrdinal(nodeName, name))) {
                result.Append(visited, owned);
                found = 1;
            }
        };
        visit(node, false);
        std::vector<NodePtr> path;
        NodePtr child;
        if (node->get_firstChild(child.GetAddressOf()) == S_OK && child)
            path.push_back(std::move(child));
        while (!path.empty()) {
            visit(path.back().Get(), true);
            NodePtr first;
            if (path.back()->get_firstChild(first.GetAddressOf()) == S_OK && first) {
                path.push_back(std::move(first));
                continue;
            }
            // No children: on to the next sibling of this node or of the nearest ancestor that has
            // one.
            while (!path.empty()) {
                NodePtr next;
                if (path.back()->get_nextSibling(next.GetAddressOf()) == S_OK && next) {
                    path.back() = std::move(next);
                    break;
                }
                path.pop_back();
            }
        }
        return found;
    });
}
