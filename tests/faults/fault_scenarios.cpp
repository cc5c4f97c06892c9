#include "tests/child/scenario.h"

#include <tarvox/config.h>

#include "foundation/unique_handle.h"
#include "tests/faults/versioned_config.h"

#include <windows.h>

#include <string>

using tarvox::FileHandle;
using tarvox::KernelHandle;

// Args: file path, share mode (decimal), name of an event. Holds the file open for reading and
// writing with that share mode until the event is set, then reports what it reads through its
// own handle (line ends written as "|").
TARVOX_CHILD_SCENARIO(HoldFileOpen) {
    const KernelHandle release(OpenEventW(SYNCHRONIZE, FALSE, context.Arg(2).c_str()));
    const FileHandle file(CreateFileW(context.Arg(0).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      static_cast<DWORD>(std::stoul(context.Arg(1))), nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!release || !file) return 1;
    context.Report("locked", 1LL);
    const bool released = WaitForSingleObject(release.Get(), 60000) == WAIT_OBJECT_0;
    std::string seen(256, '\0');
    DWORD read = 0;
    ReadFile(file.Get(), seen.data(), static_cast<DWORD>(seen.size()), &read, nullptr);
    seen.resize(read);
    for (char& c : seen) c = c == '\r' || c == '\n' ? '|' : c;
    context.Report("seen", seen);
    return released ? 0 : 1;
}

// Args: file path, writer name, count, optionally the name of an event to set once the first
// save is done. Loads, rewrites every entry as its own version and saves, count times; reports
// the saves that failed and the loads that saw a torn version.
TARVOX_CHILD_SCENARIO(SaveRepeatedly) {
    const std::wstring path = context.Arg(0), writer = context.Arg(1);
    const KernelHandle firstSaved(
        context.Arg(3).empty() ? nullptr
                               : OpenEventW(EVENT_MODIFY_STATE, FALSE, context.Arg(3).c_str()));
    long long failedSaves = 0, tornLoads = 0;
    for (int i = 0; i < std::stoi(context.Arg(2)); ++i) {
        CCfgReader reader(path.c_str());
        reader.SetTimeout(10000);
        tornLoads += !tarvox::test::IsWholeVersion(reader);
        tarvox::test::WriteVersion(reader, writer + L"-" + std::to_wstring(i));
        failedSaves += reader.Save() != 1;
        if (i == 0 && firstSaved) SetEvent(firstSaved.Get());
    }
    context.Report("failed_saves", failedSaves);
    context.Report("torn_loads", tornLoads);
    return 0;
}
