#include "paths/edition_rules.h"

#include "foundation/text_compare.h"

namespace tarvox {

namespace {

// The folder `levels` components above a folder that ends in a backslash, itself ending in a
// backslash; "" when the path runs out of components (the drive root is never left).
std::wstring Up(const std::wstring& folder, int levels) {
    std::wstring result = folder;
    for (int i = 0; i < levels; ++i) {
        if (result.size() < 2) return {};
        const auto slash = result.rfind(L'\\', result.size() - 2);
        if (slash == std::wstring::npos) return {};
        result.resize(slash + 1);
        // "C:\" is the root: going above it is not possible.
        if (i + 1 < levels && result.size() <= 3) return {};
    }
    return result;
}

std::wstring LastComponent(const std::wstring& folder) {
    std::wstring_view view(folder);
    if (!view.empty() && view.back() == L'\\') view.remove_suffix(1);
    const auto slash = view.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? view : view.substr(slash + 1));
}

}  // namespace

std::wstring MediaFolderOf(const std::wstring& programFolder, const EditionProbe& probe) {
    if (probe.fileExists(programFolder + L"Setup.cfg") ||
        probe.fileExists(programFolder + L"Autorun.inf")) {
        return programFolder;
    }
    const std::wstring last = LastComponent(programFolder);
    const bool mediaProgramFolder =
        EqualsIgnoringAsciiCase(last, L"Prg_W32") || EqualsIgnoringAsciiCase(last, L"Prg_X64");
    return Up(programFolder, mediaProgramFolder ? 2 : 3);
}

int EditionFromProgramFolder(const std::wstring& programFolder, const std::wstring& modulePath,
                             const EditionProbe& probe) {
    const std::wstring& p = programFolder;
    if (probe.fileExists(p + kArdentOfYear.c_str() + L".txt")) return kEditionArdent;
    if (probe.fileExists(p + kLuminorOfYear.c_str() + L".txt")) return kEditionLuminor;
    if (probe.fileExists(p + kArdentExtAcaOfYear.c_str() + L".txt")) return kEditionZenitPlus;
    const std::wstring cache = p + L"UserDataCache\\AppData\\" + kFamilyFolder.c_str() + L"\\";
    if (probe.entryExists(cache + kLuminorOfYear.c_str())) return kEditionLuminor;
    if (ContainsIgnoringAsciiCase(modulePath, L"Ardent")) return kEditionArdent;
    if (probe.entryExists(cache + kArdentOfYear.c_str())) return kEditionArdent;
    const std::wstring tools = cache + kArdentOfYear.c_str() + L"\\Werkzeuge\\";
    if (probe.entryExists(tools + kZenitName.c_str() + L" Werkzeuge")) {
        return probe.entryExists(tools + kZenitPlusName.c_str() + L" Werkzeuge") ? kEditionZenitPlus
                                                                                 : kEditionZenit;
    }

    std::wstring media = MediaFolderOf(p, probe);
    if (media.empty()) return kEditionUnknown;
    if (probe.fileExists(media + L"Setup.cfg")) {
        const std::wstring source = probe.setupSourcePath(media + L"Setup.cfg");
        if (!source.empty() && probe.entryExists(source)) {
            media = source;
            if (media.back() != L'\\') media += L'\\';
        }
    }
    for (int code : {kEditionZenitPlus, kEditionZenit, kEditionLuminor, kEditionArdent}) {
        if (probe.entryExists(media + std::wstring(EditionProductName(code)))) return code;
    }
    return kEditionUnknown;
}

}  // namespace tarvox
