// Child-process scenarios of the fault tests: another process that holds a configuration file
// locked, and writers that save one file over and over.
#include "tests/child/scenario.h"

#include <tarvox/config.h>

#include "tests/faults/versioned_config.h"

#include <windows.h>

#include <string>

// Args: file path, milliseconds. Holds the file open without any sharing for that long.
TARVOX_CHILD_SCENARIO(HoldFileLocked) {
    HANDLE file = CreateFileW(context.Arg(0).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    context.Report("locked", 1LL);
    Sleep(static_cast<DWORD>(std::stoul(context.Arg(1))));
    CloseHandle(file);
    return 0;
}

// Args: file path, writer name, count. Loads, rewrites every entry as its own version and saves,
// count times; reports the saves that failed and the loads that saw a torn version.
TARVOX_CHILD_SCENARIO(SaveRepeatedly) {
    const std::wstring path = context.Arg(0);
    const std::wstring writer = context.Arg(1);
    const int count = std::stoi(context.Arg(2));
    long long failedSaves = 0;
    long long tornLoads = 0;
    for (int i = 0; i < count; ++i) {
        CCfgReader reader(path.c_str());
        reader.SetTimeout(10000);
        if (!tarvox::test::IsWholeVersion(reader)) ++tornLoads;
        tarvox::test::WriteVersion(reader, writer + L"-" + std::to_wstring(i));
        if (reader.Save() != 1) ++failedSaves;
    }
    context.Report("failed_saves", failedSaves);
    context.Report("torn_loads", tornLoads);
    return 0;
}
