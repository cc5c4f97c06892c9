#include "stubs/cuixport/zip_entry_data.h"

#include <zlib.h>

#include <algorithm>
#include <array>

namespace cuixport {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kLocalHeaderBytes = 30;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
// Deflate cannot make more than about 1032 bytes of one stored byte; anything recorded
// beyond this is not a real entry.
constexpr std::uint64_t kMaxDeflateRatio = 1100;
constexpr std::size_t kInputChunk = 64 * 1024;

// zlib's stream, ended on every way out.
class Inflater {
public:
    Inflater() { m_ready = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (m_ready) inflateEnd(&m_stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    bool Ready() const { return m_ready; }
    z_stream& Stream() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

std::uint32_t Crc(const std::vector<unsigned char>& data) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const unsigned char* at = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const uInt step = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        crc = crc32(crc, at, step);
        at += step;
        left -= step;
    }
    return static_cast<std::uint32_t>(crc);
}

ExtractResult Inflate(const ByteSource& source, std::uint64_t offset, std::uint64_t compressedSize,
                      std::vector<unsigned char>& out) {
    Inflater inflater;
    if (!inflater.Ready()) return ExtractResult::Corrupt;
    z_stream& stream = inflater.Stream();
    std::vector<unsigned char> input(
        static_cast<std::size_t>(std::min<std::uint64_t>(compressedSize, kInputChunk)));
    std::uint64_t inputLeft = compressedSize;
    // Once the recorded size is filled, one more byte of room tells whether the data goes on.
    unsigned char beyond = 0;
    bool overflowing = out.empty();
    stream.next_out = overflowing ? &beyond : out.data();
    stream.avail_out = overflowing ? 1 : static_cast<uInt>(out.size());
    for (;;) {
        if (stream.avail_in == 0 && inputLeft > 0) {
            const std::size_t step =
                static_cast<std::size_t>(std::min<std::uint64_t>(inputLeft, input.size()));
            if (!source.ReadAt(offset, std::span(input.data(), step)))
                return ExtractResult::ReadFailed;
            offset += step;
            inputLeft -= step;
            stream.next_in = input.data();
            stream.avail_in = static_cast<uInt>(step);
        }
        if (stream.avail_out == 0) {
            if (overflowing) return ExtractResult::SizeMismatch;  // more than recorded
            overflowing = true;
            stream.next_out = &beyond;
            stream.avail_out = 1;
        }
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END) break;
        if (status == Z_BUF_ERROR && stream.avail_in == 0 && inputLeft == 0)
            return ExtractResult::Corrupt;
        if (status != Z_OK) return ExtractResult::Corrupt;
    }
    if (overflowing && stream.avail_out == 0) return ExtractResult::SizeMismatch;
    if (stream.total_out != out.size()) return ExtractResult::SizeMismatch;
    return ExtractResult::Ok;
}

ExtractResult Extract(const ByteSource& source, const ZipEntry& entry,
                      std::vector<unsigned char>& out) {
    if ((entry.flags & kEncryptedFlag) != 0) return ExtractResult::Unsupported;
    if (entry.method != kStored && entry.method != kDeflated) return ExtractResult::Unsupported;
    if (entry.size > kMaxPartBytes) return ExtractResult::TooLarge;

    std::array<unsigned char, kLocalHeaderBytes> header{};
    if (entry.localHeaderOffset > source.Size() ||
        !source.ReadAt(entry.localHeaderOffset, header)) {
        return ExtractResult::BadLocalHeader;
    }
    FieldReader local(header);
    if (local.U32() != kLocalSignature) return ExtractResult::BadLocalHeader;
    local.Bytes(22);
    const std::uint64_t nameBytes = local.U16();
    const std::uint64_t extraBytes = local.U16();
    const std::uint64_t dataOffset =
        entry.localHeaderOffset + kLocalHeaderBytes + nameBytes + extraBytes;
    if (dataOffset > source.Size() || entry.compressedSize > source.Size() - dataOffset) {
        return ExtractResult::BadLocalHeader;
    }

    if (entry.method == kStored) {
        if (entry.compressedSize != entry.size) return ExtractResult::SizeMismatch;
        out.resize(static_cast<std::size_t>(entry.size));
        if (!source.ReadAt(dataOffset, out)) return ExtractResult::ReadFailed;
    } else {
        if (entry.size > entry.compressedSize * kMaxDeflateRatio + 1024)
            return ExtractResult::TooLarge;
        out.resize(static_cast<std::size_t>(entry.size));
        if (const ExtractResult result = Inflate(source, dataOffset, entry.compressedSize, out);
            result != ExtractResult::Ok) {
            return result;
        }
    }
    return Crc(out) == entry.crc ? ExtractResult::Ok : ExtractResult::CrcMismatch;
}

}  // namespace

ExtractResult ExtractEntry(const ByteSource& source, const ZipEntry& entry,
                           std::vector<unsigned char>& out) {
    out.clear();
    const ExtractResult result = Extract(source, entry, out);
    if (result != ExtractResult::Ok) {
        out.clear();
        out.shrink_to_fit();
    }
    return result;
}

}  // namespace cuixport
