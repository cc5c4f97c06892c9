// Writes ZIP archives as CUIX packages are laid out, with knobs to make them wrong in the ways a
// reader must survive: a recorded CRC or size that does not match, a data descriptor, names in
// any bytes. No Win32: the bytes go wherever the caller puts them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvox::package {

struct ZipItem {
    ZipItem(std::string itemName, std::string itemData, bool deflated = true,
            bool withDescriptor = false, bool markedUtf8 = false)
        : name(std::move(itemName)),
          data(std::move(itemData)),
          deflate(deflated),
          dataDescriptor(withDescriptor),
          utf8Flag(markedUtf8) {}

    std::string name;  // stored as given (UTF-8 for CUIX parts)
    std::string data;
    bool deflate = true;
    bool dataDescriptor = false;  // sizes and CRC after the data, zero in the local header
    bool utf8Flag = false;
    std::optional<std::uint32_t> recordedCrc;   // instead of the real CRC
    std::optional<std::uint64_t> recordedSize;  // instead of the real uncompressed size
};

std::string ZipArchive(const std::vector<ZipItem>& items);

// Offsets of the end record's fields from the archive's end (no archive comment).
inline constexpr std::size_t kEndEntryCountFromEnd = 12;  // entries in the directory (16 bits)
inline constexpr std::size_t kEndDirectoryOffsetFromEnd =
    6;  // where the directory starts (32 bits)

// Overwrites a little-endian field of bytes at the given distance from the end.
void PatchFromEnd(std::string& archive, std::size_t fromEnd, std::uint32_t value, int bytes);

// A CUIX package as AutoCAD writes one: "[Content_Types].xml", the package relationships,
// "Header.cui", "MenuGroup.cui" and "WorkspaceRoot.cui", all deflated.
std::string CuixPackage(const std::string& workspaceRootXml, const std::string& headerXml);

// The XML of a WorkspaceRoot part with the given Workspace elements (and a
// WorkspaceConfigRoot beside them, as real ones have).
std::string WorkspaceRootXml(const std::string& workspaces);

// A Workspace element with its name (XML text, entities allowed) and ribbon tab references of
// the given menu group.
std::string WorkspaceXml(const std::string& name, const std::vector<std::string>& tabIds = {},
                         const std::string& menuGroup = "_TarvoArdent");

// The XML of a Header part that loads the given partial CUIX files (file names or paths).
std::string HeaderXml(const std::vector<std::string>& partialMenus);

}  // namespace tarvox::package
