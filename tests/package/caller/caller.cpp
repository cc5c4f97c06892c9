#include <tarvox/tarvox.h>

#include <cstdio>

int main() {
    std::wstring root, subKey;
    if (SplitRegPath(L"hkey_local_machine\\Software\\Tarvox\\", root, subKey) != HKEY_LOCAL_MACHINE)
        return 1;
    if (root != L"HKEY_LOCAL_MACHINE" || subKey != L"Software\\Tarvox") return 2;
    long long index = -1;
    if (FindSortedString(L"b", {L"a", L"B"}, index) != 1 || index != 1) return 3;
    std::printf("caller ok\n");
    return 0;
}
