// make_cuix: writes a CUIX package as AutoCAD lays one out, for the demo workstation.
//   make_cuix OUT.cuix [-w "Workspace name[=TabId,TabId...]"]... [-p partial.cuix]...
// Each -w adds a workspace (with ribbon tabs of the product's menu group), each -p a partial
// menu that the package loads.
#include "text/code_pages.h"
#include "tools/package-writer/zip_writer.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    return tarvox::SystemCodePages().encode(tarvox::kCodePageUtf8, text);
}

std::string XmlText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || (argc % 2) != 0) {
        std::fprintf(stderr,
                     "usage: make_cuix OUT.cuix [-w \"name[=tab,tab]\"]... [-p partial.cuix]...\n");
        return 2;
    }
    std::string workspaces;
    std::vector<std::string> partials;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        const std::string value = Utf8(argv[i + 1]);
        if (option == L"-w") {
            const std::size_t equals = value.find('=');
            const std::vector<std::string> tabs = equals == std::string::npos
                                                      ? std::vector<std::string>{}
                                                      : Split(value.substr(equals + 1), ',');
            workspaces += tarvox::package::WorkspaceXml(XmlText(value.substr(0, equals)), tabs);
        } else if (option == L"-p") {
            partials.push_back(XmlText(value));
        } else {
            std::fprintf(stderr, "make_cuix: unknown option %ls\n", option.c_str());
            return 2;
        }
    }
    const std::string package = tarvox::package::CuixPackage(
        tarvox::package::WorkspaceRootXml(workspaces), tarvox::package::HeaderXml(partials));
    std::ofstream out(argv[1], std::ios::binary);
    out.write(package.data(), static_cast<std::streamsize>(package.size()));
    if (!out) {
        std::fprintf(stderr, "make_cuix: cannot write %ls\n", argv[1]);
        return 1;
    }
    return 0;
}
