// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvox::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(std::wstring_view relative) const;

    // Writes bytes to a file below the folder (creating folders on the way); returns its path.
    std::wstring WriteFile(std::wstring_view relative, std::string_view bytes) const;
    std::wstring MakeFolder(std::wstring_view relative) const;

private:
    std::wstring m_path;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// The number of files (not folders) directly in a folder, or that a pattern with wildcards
// matches ("C:\folder\name.*").
std::size_t FilesIn(const std::wstring& folder);
std::size_t FilesMatching(const std::wstring& pattern);

void RemoveTree(const std::wstring& path);

}  // namespace tarvox::test
