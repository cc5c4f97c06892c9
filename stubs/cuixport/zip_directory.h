// The central directory of a ZIP archive: where each entry is, how it is stored, its sizes
// and checksum. Sizes and checksums come from the directory, so entries written with a data
// descriptor (sizes after the data) read like any other; Zip64 records are followed.
#pragma once

#include "stubs/cuixport/byte_source.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cuixport {

struct ZipEntry {
    std::string name;  // the item name as UTF-8 (converted from code page 437 when not UTF-8)
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localHeaderOffset = 0;
};

// A directory larger than this is refused: real packages have a few hundred entries.
inline constexpr std::uint64_t kMaxDirectoryBytes = 64ull << 20;

// The entries of the archive, in directory order; nothing when the source is not a complete
// single-volume ZIP archive (no end record, a directory or entry count that does not fit
// the file, a malformed entry).
std::optional<std::vector<ZipEntry>> ReadZipDirectory(const ByteSource& source);

}  // namespace cuixport
