// The registry form: a key tree of 5,000 values loaded through the configuration store, against
// a bare walk over the same tree with RegEnumValueW (the least any reader must do).
#include "cases.h"
#include "measure.h"

#include <tarvox/config.h>

#include <windows.h>

#include <string>
#include <vector>

namespace bench {
namespace {

constexpr int kKeys = 50;
constexpr int kValuesPerKey = 100;

// The scratch tree lives below HKEY_CURRENT_USER\Software of the benchmark's own Wine prefix
// and is deleted at the end.
std::wstring ScratchKey() {
    return L"Software\\TarvoxBench-" + std::to_wstring(GetCurrentProcessId());
}

void WriteTree(const std::wstring& root) {
    for (int k = 0; k < kKeys; ++k) {
        // Ten groups of five keys: two levels, as product keys have.
        const std::wstring path =
            root + L"\\Group" + std::to_wstring(k / 5) + L"\\Key" + std::to_wstring(k);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            continue;
        for (int v = 0; v < kValuesPerKey; ++v) {
            const std::wstring name = L"Value" + std::to_wstring(v);
            if (v % 5 == 0) {
                const DWORD number = static_cast<DWORD>(v * 31);
                RegSetValueExW(key, name.c_str(), 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&number), sizeof number);
            } else {
                const std::wstring text = L"C:\\Program Files\\Tarvo\\Daten\\" + name + L".dat";
                RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
            }
        }
        RegCloseKey(key);
    }
}

// Opens every key and enumerates its values with their data, as any reader of the tree must.
std::size_t BareWalk(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    std::size_t values = 0;
    wchar_t name[16384];
    BYTE data[16384];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = 16384;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        ++values;
    }
    for (DWORD index = 0;; ++index) {
        DWORD size = 256;
        wchar_t child[256];
        if (RegEnumKeyExW(key, index, child, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        values += BareWalk(key, child);
    }
    RegCloseKey(key);
    return values;
}

}  // namespace

void RunRegistryTree(Report& report, const Options& options) {
    const std::wstring root = ScratchKey();
    WriteTree(root);
    const std::wstring storePath = L"HKEY_CURRENT_USER\\" + root;
    const int repetitions = options.quick ? 3 : 11;

    std::size_t walked = 0;
    const double walk =
        BestSeconds(repetitions, [&] { walked = BareWalk(HKEY_CURRENT_USER, root); });
    std::size_t lines = 0;
    const double store = BestSeconds(repetitions, [&] {
        CCfgReader reader;
        reader.Load(storePath.c_str());
        lines = reader.GetDataArray().size();
    });
    report.AddRatioGoal(
        {"Registry form", std::to_string(walked) + " values in " + std::to_string(kKeys) + " keys",
         "ms", store * 1e3, "bare RegEnumValueW walk", walk * 1e3, ""},
        1.0 / 3.0, "within 3x of the walk");
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    if (lines == 0) std::printf("The configuration store read no lines from the tree.\n");
}

}  // namespace bench
