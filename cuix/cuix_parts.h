// What the library reads from CUIX customization packages: the workspaces of
// "WorkspaceRoot.cui", the partial menus of "Header.cui" and the product's ribbon tabs.
//
// The readers taking a document work on a loaded part and are what the tests feed directly;
// the readers taking a package extract the part through CuixPort first. Every string array
// output is emptied first; name lists are kept sorted without duplicates (case ignored).
#pragma once

#include <tarvox/xml.h>

#include "cuix/cuix_file.h"

#include <string>
#include <vector>

namespace tarvox::cuix {

// The product's names in customization files.
inline constexpr wchar_t kProductMenuGroup[] = L"_TarvoArdent";
inline constexpr wchar_t kProductPartialCuix[] = L"_TarvoArdent.cuix";
inline constexpr wchar_t kProductWorkspaceCuix[] = L"_TarvoArdent_.cuix";
inline constexpr wchar_t kProductWorkspacePrefix[] = L"Tarvo ";

// One part of an open package as a document; 1 on success.
int LoadCuixPart(_CCuixFile& cuix, const wchar_t* partName, CXMLHelpers::DocPtr& doc);
// The same for a path: the package is opened read-only and handed to cuix.
int LoadCuixPart(const wchar_t* path, _CCuixFile& cuix, const wchar_t* partName,
                 CXMLHelpers::DocPtr& doc);

// The workspace names of a WorkspaceRoot document, and at the same indices their elements
// (the later element for a name that occurs twice).
int ParseWorkspaceRoot(CXMLHelpers::DocPtr& doc, std::vector<std::wstring>& names,
                       std::vector<CXMLHelpers::NodePtr>& elements);
int GetCuixWorkspaceNames(_CCuixFile& cuix, std::vector<std::wstring>& names);
int GetCuixWorkspaceNames(const wchar_t* path, std::vector<std::wstring>& names);

// The partial menu files that a Header document lists.
int ParsePartialMenuFiles(CXMLHelpers::DocPtr& doc, std::vector<std::wstring>& files);
int GetCuixPartialMenuFiles(_CCuixFile& cuix, std::vector<std::wstring>& files);
int GetCuixPartialMenuFiles(const wchar_t* path, std::vector<std::wstring>& files);

// 1 when a profile's main menu is the product's own or loads the product's partial menu,
// 0 when not, -1 when the menu is unknown. cuix may be null.
int HasProductPartialMenu(const std::wstring& menuPath, _CCuixFile* cuix);
// The name test of it: the file name begins with "_Tarvo" and the product's first letters.
bool IsProductMenuFileName(const std::wstring& path);

// The TabIds of the product's ribbon tabs shown by a workspace of a WorkspaceRoot document:
// the named one (case ignored), or without a name the first "Tarvo " workspace with product
// tabs. Tab identifiers are kept in the order found.
int ParseWorkspaceProductTabIds(CXMLHelpers::DocPtr& doc, std::vector<std::wstring>& tabIds,
                                const wchar_t* workspace);
int GetWorkspaceProductTabIds(_CCuixFile& cuix, std::vector<std::wstring>& tabIds,
                              const wchar_t* workspace);
// The product's own tabs, from "_TarvoArdent.cuix" beside the library.
int GetProductCuixTabIds(std::vector<std::wstring>& tabIds);
// 1 when the workspace shows at least as many product tabs as the product defines.
int WorkspaceHasAllProductTabs(const std::wstring& workspace, _CCuixFile& cuix);

// The product's "PartialMenu" setting: 1 (the default, written back when missing or unknown)
// or 0.
int UsePartialMenu();

}  // namespace tarvox::cuix
