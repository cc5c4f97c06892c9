#include "cuix/cuix_parts.h"

#include <tarvox/config.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include "foundation/own_module.h"
#include "foundation/product_identity.h"
#include "foundation/registry_access.h"
#include "foundation/text_compare.h"
#include "paths/product_edition.h"
#include "xml/dom_document.h"
#include "xml/msxml_ids.h"

#include <functional>

namespace tarvox::cuix {

namespace {

using DocPtr = CXMLHelpers::DocPtr;
using NodePtr = CXMLHelpers::NodePtr;

// Calls visit for every direct child of a node, in document order.
void ForEachChild(NodePtr& parent, const std::function<bool(NodePtr&)>& visit) {
    Microsoft::WRL::ComPtr<IXMLDOMNodeList> children;
    if (!parent || parent->get_childNodes(children.GetAddressOf()) != S_OK || !children) return;
    long length = 0;
    if (children->get_length(&length) != S_OK) return;
    for (long i = 0; i < length; ++i) {
        NodePtr child;
        if (children->get_item(i, child.GetAddressOf()) != S_OK || !child) continue;
        if (!visit(child)) return;
    }
}

bool HasName(NodePtr& node, const wchar_t* name) {
    std::wstring nodeName;
    return CXMLHelpers::GetNodeName(node, nodeName) == 1 && EqualsIgnoringAsciiCase(nodeName, name);
}

// The text of a workspace's direct child "Name" ("" when it has none).
std::wstring WorkspaceName(NodePtr& workspace) {
    std::wstring name;
    if (CXMLHelpers::GetNodeText(L"Name", workspace, name) != 1) name.clear();
    return name;
}

bool SameWorkspaceName(std::wstring_view a, std::wstring_view b) {
    return CompareSystemIgnoringCase(a, b) == SortOrder::Equal;
}

// Inserts a text into a sorted list unless it is there already; returns its index and
// whether it was new.
bool InsertSorted(std::vector<std::wstring>& list, const std::wstring& text, std::size_t& index) {
    long long position = 0;
    const bool found = FindSortedString(text.c_str(), list, position) == 1;
    index = static_cast<std::size_t>(position);
    if (!found) list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), text);
    return !found;
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
}

}  // namespace

int LoadCuixPart(_CCuixFile& cuix, const wchar_t* partName, DocPtr& doc) {
    doc.Reset();
    std::wstring partFile;
    if (!ExtractPart(cuix.m_Handle, partName, partFile)) return 0;
    // The part is loaded by its path, so its own declaration names its encoding; the caller
    // keeps COM initialised while it holds the document.
    return LoadDomDocumentFromPath(partFile.c_str(), doc) ? 1 : 0;
}

int LoadCuixPart(const wchar_t* path, _CCuixFile& cuix, const wchar_t* partName, DocPtr& doc) {
    doc.Reset();
    _CReadOnlyCuixFile opened(path);
    if (opened.m_Path.empty()) return 0;
    cuix = opened;
    return LoadCuixPart(cuix, partName, doc);
}

int ParseWorkspaceRoot(DocPtr& doc, std::vector<std::wstring>& names,
                       std::vector<NodePtr>& elements) {
    names.clear();
    elements.clear();
    NodePtr root;
    if (CXMLHelpers::GetNode(L"WorkspaceRoot", doc, root) != 1) return 0;
    int result = 0;
    ForEachChild(root, [&](NodePtr& child) {
        if (!HasName(child, L"Workspace")) return true;
        const std::wstring name = WorkspaceName(child);
        if (name.empty()) return true;
        std::size_t index = 0;
        if (InsertSorted(names, name, index)) {
            elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(index), NodePtr());
        }
        result = 1;
        return true;
    });
    // A second pass, now that the indexes stand: the later of two equal names keeps its element.
    ForEachChild(root, [&](NodePtr& child) {
        if (!HasName(child, L"Workspace")) return true;
        const std::wstring name = WorkspaceName(child);
        long long index = 0;
        if (!name.empty() && FindSortedString(name.c_str(), names, index) == 1) {
            elements[static_cast<std::size_t>(index)] = child;
        }
        return true;
    });
    return result;
}

int GetCuixWorkspaceNames(_CCuixFile& cuix, std::vector<std::wstring>& names) {
    names.clear();
    DocPtr doc;
    if (LoadCuixPart(cuix, L"WorkspaceRoot.cui", doc) != 1) return 0;
    std::vector<NodePtr> elements;
    return ParseWorkspaceRoot(doc, names, elements);
}

int GetCuixWorkspaceNames(const wchar_t* path, std::vector<std::wstring>& names) {
    names.clear();
    _CCuixFile cuix;
    DocPtr doc;
    if (LoadCuixPart(path, cuix, L"WorkspaceRoot.cui", doc) != 1) return 0;
    std::vector<NodePtr> elements;
    return ParseWorkspaceRoot(doc, names, elements);
}

int ParsePartialMenuFiles(DocPtr& doc, std::vector<std::wstring>& files) {
    files.clear();
    NodePtr node;
    if (CXMLHelpers::GetNode(L"CustSection", doc, node) != 1) return 0;
    for (const wchar_t* step : {L"Header", L"CommonConfiguration", L"CommonItems"}) {
        if (CXMLHelpers::GetNode(step, node, node) != 1) return 0;
    }
    int result = 0;
    ForEachChild(node, [&](NodePtr& child) {
        if (!HasName(child, L"PartialMenuFile")) return true;
        std::wstring text;
        std::size_t index = 0;
        if (CXMLHelpers::GetNodeText(child, text) == 1 && InsertSorted(files, text, index))
            result = 1;
        return true;
    });
    return result;
}

int GetCuixPartialMenuFiles(_CCuixFile& cuix, std::vector<std::wstring>& files) {
    files.clear();
    DocPtr doc;
    if (LoadCuixPart(cuix, L"Header.cui", doc) != 1) return 0;
    return ParsePartialMenuFiles(doc, files);
}

int GetCuixPartialMenuFiles(const wchar_t* path, std::vector<std::wstring>& files) {
    files.clear();
    _CCuixFile cuix;
    DocPtr doc;
    if (LoadCuixPart(path, cuix, L"Header.cui", doc) != 1) return 0;
    return ParsePartialMenuFiles(doc, files);
}

bool IsProductMenuFileName(const std::wstring& path) {
    // "_" + the maker's short name + the first three letters of the product name.
    return StartsWithIgnoringAsciiCase(FileNameOf(path), L"_TarvoArd");
}

int HasProductPartialMenu(const std::wstring& menuPath, _CCuixFile* cuix) {
    const std::wstring path = !menuPath.empty() ? menuPath : (cuix ? cuix->m_Path : std::wstring());
    if (path.empty() || path.find(L'\\') == std::wstring::npos) return -1;
    if (IsProductMenuFileName(path)) return 1;
    std::vector<std::wstring> files;
    if (cuix != nullptr) {
        GetCuixPartialMenuFiles(*cuix, files);
    } else {
        GetCuixPartialMenuFiles(menuPath.c_str(), files);
    }
    for (const std::wstring& file : files) {
        if (EqualsIgnoringAsciiCase(file, kProductPartialCuix)) return 1;
    }
    return 0;
}

int ParseWorkspaceProductTabIds(DocPtr& doc, std::vector<std::wstring>& tabIds,
                                const wchar_t* workspace) {
    tabIds.clear();
    NodePtr root;
    if (CXMLHelpers::GetNode(L"WorkspaceRoot", doc, root) != 1) return 0;
    const bool named = workspace != nullptr && *workspace != L'\0';
    int result = 0;
    ForEachChild(root, [&](NodePtr& child) {
        const std::wstring name = WorkspaceName(child);
        if (name.empty()) return true;
        const bool matches = named ? SameWorkspaceName(name, workspace)
                                   : StartsWithIgnoringAsciiCase(name, kProductWorkspacePrefix);
        if (!matches) return true;
        NodePtr ribbon;
        if (CXMLHelpers::GetNode(L"WSRibbonRoot", child, ribbon) != 1) return true;
        ForEachChild(ribbon, [&](NodePtr& tab) {
            std::wstring group;
            std::wstring tabId;
            if (CXMLHelpers::GetAttributeValue(L"MenuGroup", tab, group) == 1 &&
                EqualsIgnoringAsciiCase(group, kProductMenuGroup)) {
                CXMLHelpers::GetAttributeValue(L"TabId", tab, tabId);
                tabIds.push_back(tabId);
                result = 1;
            }
            return true;
        });
        // The first workspace that shows product tabs ends the search.
        return result == 0;
    });
    return result;
}

int GetWorkspaceProductTabIds(_CCuixFile& cuix, std::vector<std::wstring>& tabIds,
                              const wchar_t* workspace) {
    tabIds.clear();
    DocPtr doc;
    if (LoadCuixPart(cuix, L"WorkspaceRoot.cui", doc) != 1) return 0;
    return ParseWorkspaceProductTabIds(doc, tabIds, workspace);
}

int GetProductCuixTabIds(std::vector<std::wstring>& tabIds) {
    tabIds.clear();
    const std::wstring path = OwnModuleFolder() + kProductPartialCuix;
    if (PathExists(path.c_str()) != 1) return 0;
    _CReadOnlyCuixFile cuix(path.c_str());
    return GetWorkspaceProductTabIds(cuix, tabIds, nullptr);
}

int WorkspaceHasAllProductTabs(const std::wstring& workspace, _CCuixFile& cuix) {
    std::vector<std::wstring> productTabs;
    GetProductCuixTabIds(productTabs);
    std::vector<std::wstring> shownTabs;
    if (GetWorkspaceProductTabIds(cuix, shownTabs, workspace.c_str()) != 1) return 0;
    return shownTabs.size() >= productTabs.size() ? 1 : 0;
}

int UsePartialMenu() {
    int edition = 0;
    std::wstring productName;
    GetProductEdition(&edition, productName);
    const std::wstring key = std::wstring(kArdentMachinePath.view()) + L"\\" +
                             WithEditionSuffix(kAddOnSection.view(), edition);
    CCfgReader reader(key.c_str(), kCfgView64);
    std::wstring text;
    reader.GetValue(text, L"\\", L"PartialMenu", L"");
    if (EqualsIgnoringAsciiCase(text, L"True") || text == L"1") return 1;
    if (EqualsIgnoringAsciiCase(text, L"False") || text == L"0") return 0;
    // Missing or unreadable: the default is written back, and stored when the reader closes.
    reader.SetNumberValue(L"\\", L"PartialMenu", 1, 1);
    return 1;
}

}  // namespace tarvox::cuix
