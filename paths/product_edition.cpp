#include "paths/product_edition.h"

#include <tarvox/modules.h>

#include "foundation/own_module.h"
#include "paths/edition_record.h"
#include "paths/edition_rules.h"
#include "paths/setup_information.h"

#include "foundation/text_compare.h"

namespace {

struct EditionState {
    bool settled = false;
    int code = 0;
    std::wstring name;
};

EditionState& Edition() {
    static EditionState state;
    return state;
}

tarvox::EditionProbe FileSystemProbe() {
    tarvox::EditionProbe probe;
    probe.fileExists = [](const std::wstring& path) { return PathExists(path.c_str()) == 1; };
    probe.entryExists = [](const std::wstring& path) {
        int isFolder = 0;
        return PathExists(path.c_str(), &isFolder) == 1;
    };
    probe.setupSourcePath = [](const std::wstring& setupCfg) {
        return tarvox::ReadSetupValue(setupCfg, L"Settings", L"SourcePath");
    };
    return probe;
}

// The edition is worked out in full first and only then recorded as settled: a failure on the
// way (out of memory) leaves it to be worked out on the next call.
void Settle(EditionState& state) {
    // The record is mapped on first use and kept while the process runs.
    static tarvox::EditionRecord record;
    EditionState settled;
    if (record.Code() >= 1) {
        settled.code = record.Code();
        settled.name = record.ProductName();
    } else {
        const int code = tarvox::EditionFromProgramFolder(
            tarvox::OwnModuleFolder(), tarvox::OwnModulePath(), FileSystemProbe());
        if (code != tarvox::kEditionUnknown) {
            settled.code = code;
            settled.name = tarvox::EditionProductName(code);
        }
    }
    settled.settled = true;
    state = std::move(settled);
}

}  // namespace

int GetProductEdition(int* edition, std::wstring& productName) {
    EditionState& state = Edition();
    if (!state.settled) Settle(state);
    if (edition != nullptr) *edition = state.code;
    productName = state.name;
    return state.code >= 1 ? 1 : 0;
}

int IsArdentEdition() {
    int code = 0;
    std::wstring name;
    return GetProductEdition(&code, name) == 1 && code == tarvox::kEditionArdent ? 1 : 0;
}

int IsLuminorEdition(int* productFlags) {
    static bool settled = false;
    static int luminor = 0;
    static int flags = 1;
    if (!settled) {
        // Worked out in locals and kept only once complete.
        int luminorNow = 0;
        int flagsNow = 1;
        bool decided = false;
        // A setup program of the family learns from its "FileInfo.txt" which product it installs.
        const std::wstring program = tarvox::ProgramPath();
        const auto slash = program.rfind(L'\\');
        const std::wstring fileName =
            slash == std::wstring::npos ? program : program.substr(slash + 1);
        if (tarvox::StartsWithIgnoringAsciiCase(fileName, L"Setup") &&
            slash != std::wstring::npos) {
            const std::wstring info = program.substr(0, slash + 1) + L"FileInfo.txt";
            if (PathExists(info.c_str()) == 1) {
                const std::wstring product =
                    tarvox::ReadSetupValue(info, L"Setup Information", L"Product");
                if (!product.empty())
                    flagsNow = static_cast<int>(std::wcstol(product.c_str(), nullptr, 10));
                if (flagsNow & 2) {
                    luminorNow =
                        tarvox::ReadMachineFlag(tarvox::kArdentMachinePath.c_str(), L"IsLuminor")
                            ? 1
                            : 0;
                    decided = true;
                }
            }
        }
        if (!decided) {
            int code = 0;
            std::wstring name;
            luminorNow =
                GetProductEdition(&code, name) == 1 && code == tarvox::kEditionLuminor ? 1 : 0;
        }
        luminor = luminorNow;
        flags = flagsNow;
        settled = true;
    }
    if (productFlags != nullptr) *productFlags = flags;
    return luminor;
}
