#include "inputs.h"

#include "text/code_pages.h"

#include <windows.h>

namespace bench {

unsigned long long Random::Next() {
    // splitmix64
    unsigned long long z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

std::wstring Word(Random& random, int length) {
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::wstring word;
    for (int i = 0; i < length; ++i) word += kLetters[random.Below(52)];
    return word;
}

std::wstring Value(Random& random) {
    static const wchar_t* const kFolders[] = {
        L"C:\\Program Files\\Tarvo\\Daten", L"%AppData%\\Tarvo\\Vorlagen", L"D:\\Projekte\\Größen",
        L"\\\\server\\share\\Проекты"};
    switch (random.Below(4)) {
        case 0: return std::to_wstring(random.Below(100000));
        case 1: return random.Below(2) ? L"True" : L"False";
        default: return std::wstring(kFolders[random.Below(4)]) + L"\\" + Word(random, 8) + L".dat";
    }
}

}  // namespace

ConfigInput MakeConfigText(int lines, unsigned seed) {
    Random random(seed);
    ConfigInput input;
    input.largeSection = L"Large Section";
    // Section sizes: a third in one section, a third in sections of about 200, the rest in
    // sections of 5 to 20 entries.
    std::vector<std::pair<std::wstring, int>> sections;
    const int entries = lines * 9 / 10;  // the rest are headers, comments and empty lines
    sections.emplace_back(input.largeSection, entries / 3);
    int left = entries - entries / 3;
    int medium = left / 2;
    for (int k = 0; medium > 0; ++k) {
        const int size = std::min(medium, 150 + random.Below(100));
        sections.emplace_back(L"Medium " + std::to_wstring(k) + L" " + Word(random, 4), size);
        medium -= size;
        left -= size;
    }
    for (int k = 0; left > 0; ++k) {
        const int size = std::min(left, 5 + random.Below(16));
        sections.emplace_back(L"Small " + std::to_wstring(k) + L" " + Word(random, 6), size);
        left -= size;
    }
    // The large section is not the first, so that edits in it shift lines on both sides.
    std::swap(sections[0], sections[sections.size() / 2]);

    std::wstring& text = input.text;
    text += L"; Generated configuration\r\n";
    for (const auto& [section, size] : sections) {
        text += L"\r\n[" + section + L"]\r\n";
        for (int i = 0; i < size; ++i) {
            if (random.Below(10) == 0) text += L"; " + Word(random, 20) + L"\r\n";
            const std::wstring name = Word(random, 6 + random.Below(10)) + std::to_wstring(i);
            text += name + L"=" + Value(random) + L"\r\n";
            input.entries.push_back({section, name});
        }
    }
    return input;
}

std::string ToUtf8(const std::wstring& text) {
    return tarvox::SystemCodePages().encode(CP_UTF8, text);
}

bool WriteTextFile(const std::wstring& path, const std::wstring& text, Encoding encoding) {
    std::string bytes;
    if (encoding == Encoding::Utf8) {
        bytes = "\xEF\xBB\xBF" + ToUtf8(text);
    } else {
        bytes = "\xFF\xFE";
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace bench
