// The bytes of a package file for the ZIP reader, read at explicit offsets so that several
// threads can read one open file at once.
#pragma once

#include "stubs/cuixport/byte_source.h"

#include <windows.h>

#include <string>

namespace cuixport {

class FileSource final : public ByteSource {
public:
    // Opens the file for reading; Valid() tells whether that worked. Others may read, rename or
    // delete the file meanwhile: AutoCAD keeps its CUIX files open while it runs.
    explicit FileSource(const std::wstring& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool Valid() const { return m_file != INVALID_HANDLE_VALUE; }
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t offset, std::span<unsigned char> out) const override;

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::uint64_t m_size = 0;
};

}  // namespace cuixport
