// Child-process scenarios for the hand-over of configurations to the drawing, whose host
// function is looked up once per process.
#include "tests/child/scenario.h"

#include <tarvox/config.h>
#include <tarvox/folders.h>

#include "tests/support/child_process.h"

#include <windows.h>

namespace {

using tarvox::test::ScenarioContext;

void ReportHost(const ScenarioContext& context, HMODULE host) {
    using Calls = int (*)();
    using Text = const wchar_t* (*)();
    const auto calls = reinterpret_cast<Calls>(GetProcAddress(host, "DrawingCalls"));
    const auto key = reinterpret_cast<Text>(GetProcAddress(host, "DrawingKeyHandedOver"));
    const auto text = reinterpret_cast<Text>(GetProcAddress(host, "DrawingTextHandedOver"));
    if (!calls || !key || !text) return;
    context.Report("calls", static_cast<long long>(calls()));
    context.Report("key", key());
    context.Report("text", text());
}

int SaveWithHandOver(const std::wstring& path, const wchar_t* value) {
    CCfgReader reader(path.c_str());
    reader.SetSaveToDrawing(1);
    reader.SetValue(L"A", L"k", value);
    return reader.Save();
}

}  // namespace

// Args: folder of the test modules, a configuration file path.
TARVOX_CHILD_SCENARIO(DrawingHandOver) {
    HMODULE host = LoadLibraryW((context.Arg(0) + L"\\host\\TarvoArdent.dll").c_str());
    if (host == nullptr) return 1;
    context.Report("saved", static_cast<long long>(SaveWithHandOver(context.Arg(1), L"1")));
    ReportHost(context, host);
    return 0;
}

// Args: folder of the test modules, a configuration file path. The first save finds no host;
// the host loaded afterwards is not looked up again in this process.
TARVOX_CHILD_SCENARIO(DrawingHostMissing) {
    context.Report("first_saved", static_cast<long long>(SaveWithHandOver(context.Arg(1), L"1")));
    HMODULE host = LoadLibraryW((context.Arg(0) + L"\\host\\TarvoArdent.dll").c_str());
    if (host == nullptr) return 1;
    context.Report("second_saved", static_cast<long long>(SaveWithHandOver(context.Arg(1), L"2")));
    ReportHost(context, host);
    return 0;
}

// Args: folder list file, name of a folder to read, name and folder to set.
TARVOX_CHILD_SCENARIO(FolderListValues) {
    wchar_t buffer[260];
    context.Report("dir_value", GetDirValue(context.Arg(1).c_str(), buffer));
    context.Report("dir_value_empty_name", GetDirValue(L"", buffer));
    context.Report("dir_value_missing", GetDirValue(L"NoSuchFolder", buffer));
    CCfgReader reader(context.Arg(0).c_str());
    std::wstring value;
    reader.GetValue(value, L"Ordner", context.Arg(1).c_str(), L"");
    context.Report("reader_value", value);
    reader.SetValue(L"Ordner", context.Arg(2).c_str(), context.Arg(3).c_str());
    context.Report("saved", static_cast<long long>(reader.Save()));
    return 0;
}
