// The data of one ZIP entry, stored or deflated, checked against the sizes and the CRC that
// the central directory records.
#pragma once

#include "stubs/cuixport/byte_source.h"
#include "stubs/cuixport/zip_directory.h"

#include <cstdint>
#include <vector>

namespace cuixport {

// A part larger than this is refused before any of it is inflated: real parts are a few MB.
inline constexpr std::uint64_t kMaxPartBytes = 256ull << 20;

enum class ExtractResult {
    Ok,
    BadLocalHeader,  // no local header where the directory says, or the data lies past the file
    Unsupported,     // encrypted, or a method other than stored and deflated
    TooLarge,        // over kMaxPartBytes, or more than deflate can make of the stored bytes
    Corrupt,         // the deflated data is broken or ends early
    SizeMismatch,    // the data gives more or fewer bytes than recorded
    CrcMismatch,
    ReadFailed,
};

// Reads and checks the entry's data into out (emptied on failure). Time and memory are
// bounded by the recorded sizes: inflating stops one byte past the recorded size.
ExtractResult ExtractEntry(const ByteSource& source, const ZipEntry& entry,
                           std::vector<unsigned char>& out);

}  // namespace cuixport
