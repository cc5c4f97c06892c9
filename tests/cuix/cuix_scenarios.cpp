// Child-process scenarios for the CUIX readers that look beside the library's own module.
#include "tests/child/scenario.h"

#include "cuix/cuix_file.h"
#include "cuix/cuix_parts.h"

#include <objbase.h>

#include <string>
#include <vector>

TARVOX_CHILD_SCENARIO(ProductTabsOfWorkspaces) {
    CoInitialize(nullptr);
    {
        std::vector<std::wstring> tabs;
        tarvox::cuix::GetProductCuixTabIds(tabs);
        context.Report("product_tabs", std::to_string(tabs.size()));
        _CReadOnlyCuixFile cuix(context.Arg(0).c_str());
        context.Report(
            "full", std::to_string(tarvox::cuix::WorkspaceHasAllProductTabs(L"tarvo full", cuix)));
        context.Report(
            "some", std::to_string(tarvox::cuix::WorkspaceHasAllProductTabs(L"Tarvo Some", cuix)));
        context.Report("unknown",
                       std::to_string(tarvox::cuix::WorkspaceHasAllProductTabs(L"Nothing", cuix)));
    }
    CoUninitialize();
    return 0;
}
