#include "stubs/cuixport/zip_directory.h"

#include "stubs/cuixport/part_names.h"

#include <algorithm>

namespace cuixport {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::size_t kEndBytes = 22;
constexpr std::size_t kZip64LocatorBytes = 20;
constexpr std::size_t kZip64EndBytes = 56;
constexpr std::size_t kCentralBytes = 46;
constexpr std::size_t kMaxCommentBytes = 0xFFFF;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint16_t kUtf8NameFlag = 0x0800;

struct DirectoryPlace {
    std::uint64_t count = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
    std::uint64_t end = 0;  // where the records after the directory begin
};

bool Read(const ByteSource& source, std::uint64_t offset, std::vector<unsigned char>& bytes,
          std::size_t count) {
    bytes.resize(count);
    return source.ReadAt(offset, bytes);
}

// The end record: the last signature in the tail whose comment fits the file.
std::optional<std::uint64_t> FindEndRecord(const ByteSource& source) {
    const std::uint64_t size = source.Size();
    if (size < kEndBytes) return std::nullopt;
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndBytes + kMaxCommentBytes);
    std::vector<unsigned char> tail;
    if (!Read(source, size - tailSize, tail, static_cast<std::size_t>(tailSize)))
        return std::nullopt;
    for (std::size_t at = tail.size() - kEndBytes + 1; at-- > 0;) {
        FieldReader record{std::span<const unsigned char>(tail).subspan(at)};
        if (record.U32() != kEndSignature) continue;
        record.Bytes(16);
        const std::uint16_t commentBytes = record.U16();
        if (at + kEndBytes + commentBytes <= tail.size()) return size - tailSize + at;
    }
    return std::nullopt;
}

std::optional<DirectoryPlace> ReadZip64End(const ByteSource& source, std::uint64_t endOffset) {
    if (endOffset < kZip64LocatorBytes) return std::nullopt;
    std::vector<unsigned char> bytes;
    const std::uint64_t locatorOffset = endOffset - kZip64LocatorBytes;
    if (!Read(source, locatorOffset, bytes, kZip64LocatorBytes)) return std::nullopt;
    FieldReader locator(bytes);
    if (locator.U32() != kZip64LocatorSignature) return std::nullopt;
    const std::uint32_t disk = locator.U32();
    const std::uint64_t recordOffset = locator.U64();
    const std::uint32_t disks = locator.U32();
    if (disk != 0 || disks > 1) return std::nullopt;
    if (recordOffset > locatorOffset || locatorOffset - recordOffset < kZip64EndBytes)
        return std::nullopt;
    if (!Read(source, recordOffset, bytes, kZip64EndBytes)) return std::nullopt;
    FieldReader record(bytes);
    if (record.U32() != kZip64EndSignature) return std::nullopt;
    record.Bytes(12);  // record size, versions
    const std::uint32_t thisDisk = record.U32();
    const std::uint32_t directoryDisk = record.U32();
    const std::uint64_t countHere = record.U64();
    DirectoryPlace place;
    place.count = record.U64();
    place.size = record.U64();
    place.offset = record.U64();
    place.end = recordOffset;
    if (thisDisk != 0 || directoryDisk != 0 || countHere != place.count) return std::nullopt;
    return place;
}

std::optional<DirectoryPlace> FindDirectory(const ByteSource& source) {
    const auto endOffset = FindEndRecord(source);
    if (!endOffset) return std::nullopt;
    std::vector<unsigned char> bytes;
    if (!Read(source, *endOffset, bytes, kEndBytes)) return std::nullopt;
    FieldReader record(bytes);
    record.U32();
    const std::uint16_t disk = record.U16();
    const std::uint16_t directoryDisk = record.U16();
    const std::uint16_t countHere = record.U16();
    DirectoryPlace place;
    place.count = record.U16();
    place.size = record.U32();
    place.offset = record.U32();
    place.end = *endOffset;
    if (place.count == 0xFFFF || place.size == 0xFFFFFFFF || place.offset == 0xFFFFFFFF) {
        if (auto zip64 = ReadZip64End(source, *endOffset)) return zip64;
    }
    if (disk != 0 || directoryDisk != 0 || countHere != place.count) return std::nullopt;
    return place;
}

// Replaces the fields that the 32-bit record marks as too large by those of the Zip64 extra
// field, in the order the format fixes.
bool ApplyZip64Extra(std::span<const unsigned char> extra, ZipEntry& entry,
                     std::uint16_t startDisk) {
    const bool needSize = entry.size == 0xFFFFFFFF;
    const bool needCompressed = entry.compressedSize == 0xFFFFFFFF;
    const bool needOffset = entry.localHeaderOffset == 0xFFFFFFFF;
    if (!needSize && !needCompressed && !needOffset) return true;
    FieldReader fields(extra);
    while (fields.Remaining() >= 4) {
        const std::uint16_t id = fields.U16();
        const std::uint16_t length = fields.U16();
        const auto data = fields.Bytes(length);
        if (!fields.Ok()) return false;
        if (id != kZip64ExtraId) continue;
        FieldReader values(data);
        if (needSize) entry.size = values.U64();
        if (needCompressed) entry.compressedSize = values.U64();
        if (needOffset) entry.localHeaderOffset = values.U64();
        if (startDisk == 0xFFFF && values.U32() != 0) return false;
        return values.Ok();
    }
    return false;
}

}  // namespace

std::optional<std::vector<ZipEntry>> ReadZipDirectory(const ByteSource& source) {
    const auto place = FindDirectory(source);
    if (!place) return std::nullopt;
    // The directory lies before the end records, and each entry takes at least its fixed part.
    if (place->offset > place->end || place->size > place->end - place->offset) return std::nullopt;
    if (place->size > kMaxDirectoryBytes) return std::nullopt;
    if (place->count > place->size / kCentralBytes) return std::nullopt;

    std::vector<unsigned char> directory;
    if (!Read(source, place->offset, directory, static_cast<std::size_t>(place->size)))
        return std::nullopt;
    std::vector<ZipEntry> entries;
    entries.reserve(static_cast<std::size_t>(place->count));
    FieldReader records(directory);
    for (std::uint64_t i = 0; i < place->count; ++i) {
        if (records.U32() != kCentralSignature) return std::nullopt;
        ZipEntry entry;
        records.Bytes(4);  // versions
        entry.flags = records.U16();
        entry.method = records.U16();
        records.Bytes(4);  // time and date
        entry.crc = records.U32();
        entry.compressedSize = records.U32();
        entry.size = records.U32();
        const std::uint16_t nameBytes = records.U16();
        const std::uint16_t extraBytes = records.U16();
        const std::uint16_t commentBytes = records.U16();
        const std::uint16_t startDisk = records.U16();
        records.Bytes(6);  // attributes
        entry.localHeaderOffset = records.U32();
        const auto name = records.Bytes(nameBytes);
        const auto extra = records.Bytes(extraBytes);
        records.Bytes(commentBytes);
        if (!records.Ok()) return std::nullopt;
        if (!ApplyZip64Extra(extra, entry, startDisk)) return std::nullopt;
        if (startDisk != 0 && startDisk != 0xFFFF) return std::nullopt;
        if (entry.localHeaderOffset >= place->offset) return std::nullopt;
        entry.name = ItemNameToUtf8(name, (entry.flags & kUtf8NameFlag) != 0);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace cuixport
