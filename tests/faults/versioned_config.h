// A configuration whose every entry names the version that wrote it, so that a reader can tell
// a whole version from a mix of two.
#pragma once

#include <tarvox/config.h>

#include <string>

namespace tarvox::test {

inline constexpr int kVersionedEntries = 200;

inline void WriteVersion(CCfgReader& reader, const std::wstring& version) {
    reader.SetValue(L"Run", L"version", version.c_str());
    for (int i = 0; i < kVersionedEntries; ++i) {
        reader.SetValue(L"Data", (L"k" + std::to_wstring(i)).c_str(),
                        (version + L"/" + std::to_wstring(i)).c_str());
    }
}

// True when the reader holds one version in full (or the file was still empty).
inline bool IsWholeVersion(CCfgReader& reader) {
    std::wstring version;
    if (!reader.GetValue(version, L"Run", L"version", L"") || version.empty()) {
        std::wstring any;
        return !reader.GetValue(any, L"Data", L"k0", L"") || any.empty();
    }
    for (int i = 0; i < kVersionedEntries; ++i) {
        std::wstring value;
        reader.GetValue(value, L"Data", (L"k" + std::to_wstring(i)).c_str(), L"");
        if (value != version + L"/" + std::to_wstring(i)) return false;
    }
    return true;
}

}  // namespace tarvox::test
