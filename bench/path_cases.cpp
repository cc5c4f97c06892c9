// Path variables: building the compact table, expanding and re-abbreviating, against
// ExpandEnvironmentStringsW on the same texts.
#include "cases.h"
#include "measure.h"

#include <tarvox/config.h>

#include "variables/path_vars.h"

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

void RunPathExpansion(Report& report, const Options& options) {
    // Variables that both the environment and the library's table know, one that neither
    // knows, and text without variables.
    const std::vector<std::wstring> texts = {
        L"%APPDATA%\\Tarvo\\Support\\Vorlagen",
        L"%ProgramFiles%\\Tarvo\\Bin\\tarvox.dll",
        L"%TEMP%\\Tarvo\\Plot\\%USERNAME%.plt",
        L"\"%SystemRoot%\\Fonts\\arial.ttf\"",
        L"%NoSuchVariable%\\Daten",
        L"C:\\Projekte\\Größen\\Plan.dwg",
    };
    const int repetitions = options.quick ? 3 : 9;
    const int rounds = options.quick ? 2000 : 20000;

    std::vector<std::wstring> names;
    std::vector<std::wstring> values;
    for (const int aliases : {0, 1}) {
        const double build = BestSeconds(repetitions, [&] {
            names.clear();
            values.clear();
            BuildPathVarTable(names, values, aliases);
        });
        report.Add({"Path variables",
                    std::string("build the table") + (aliases ? " with aliases" : ""), "ms",
                    build * 1e3, "", 0, std::to_string(names.size()) + " variables"});
    }

    std::wstring out;
    std::wstring withVars;
    ExpandPathVars(texts[0].c_str(), out);  // the table is built once per process
    CCfgReader::GetPathWithoutVars(withVars, out, texts[0].c_str(), 1);
    const auto calls = static_cast<double>(rounds * texts.size());

    std::size_t sink = 0;
    const double expand = BestSeconds(repetitions,
                                      [&] {
                                          for (int r = 0; r < rounds; ++r) {
                                              for (const std::wstring& text : texts) {
                                                  ExpandPathVars(text.c_str(), out);
                                                  sink += out.size();
                                              }
                                          }
                                      }) /
                          calls;
    const double both =
        BestSeconds(repetitions,
                    [&] {
                        for (int r = 0; r < rounds; ++r) {
                            for (const std::wstring& text : texts) {
                                CCfgReader::GetPathWithoutVars(withVars, out, text.c_str(), 1);
                                sink += out.size() + withVars.size();
                            }
                        }
                    }) /
        calls;
    const double system = BestSeconds(repetitions,
                                      [&] {
                                          wchar_t buffer[MAX_PATH * 2];
                                          for (int r = 0; r < rounds; ++r) {
                                              for (const std::wstring& text : texts) {
                                                  sink += ExpandEnvironmentStringsW(
                                                      text.c_str(), buffer, MAX_PATH * 2);
                                              }
                                          }
                                      }) /
                          calls;
    report.Add({"Path variables", "ExpandPathVars", "ns/call", expand * 1e9,
                "ExpandEnvironmentStringsW", system * 1e9, ""});
    report.Add({"Path variables", "GetPathWithoutVars (expand and re-abbreviate)", "ns/call",
                both * 1e9, "ExpandEnvironmentStringsW", system * 1e9, ""});
    if (sink == 42) std::printf(" ");
}

}  // namespace bench
