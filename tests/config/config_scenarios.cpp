// Child-process scenarios of the configuration store.
#include "tests/child/scenario.h"

#include <tarvox/folders.h>

#include <windows.h>

TARVOX_CHILD_SCENARIO(LocalConfigFolders) {
    wchar_t buffer[260];
    context.Report("ardent", GetLocalConfigDir(buffer));
    const wchar_t* names[] = {L"TarvoArdent_LU_2020_CFG_L", L"TarvoArdent_AR_2020_CFG_L", L"TarvoArdent_2020_CFG_L"};
    for (const wchar_t* name : names) {
        if (GetEnvironmentVariableW(name, buffer, 260) > 0) {
            context.Report("cached_in", name);
            break;
        }
    }
    return 0;
}
