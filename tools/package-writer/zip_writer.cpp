#include "tools/package-writer/zip_writer.h"

#include <zlib.h>

#include <stdexcept>

namespace tarvox::package {

namespace {

void Put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Deflated(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

std::uint32_t Crc(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

}  // namespace

std::string ZipArchive(const std::vector<ZipItem>& items) {
    std::string archive;
    std::string directory;
    for (const ZipItem& item : items) {
        const std::string stored = item.deflate ? Deflated(item.data) : item.data;
        const std::uint32_t crc = item.recordedCrc.value_or(Crc(item.data));
        const std::uint64_t size = item.recordedSize.value_or(item.data.size());
        const std::uint16_t flags = static_cast<std::uint16_t>((item.dataDescriptor ? 0x0008 : 0) |
                                                               (item.utf8Flag ? 0x0800 : 0));
        const std::uint16_t method = item.deflate ? 8 : 0;
        const auto offset = archive.size();

        Put(archive, 0x04034b50, 4);
        Put(archive, 20, 2);
        Put(archive, flags, 2);
        Put(archive, method, 2);
        Put(archive, 0x5A21, 2);  // 11:09:02
        Put(archive, 0x5987, 2);  // 2024-12-07
        Put(archive, item.dataDescriptor ? 0 : crc, 4);
        Put(archive, item.dataDescriptor ? 0 : stored.size(), 4);
        Put(archive, item.dataDescriptor ? 0 : size, 4);
        Put(archive, item.name.size(), 2);
        Put(archive, 0, 2);
        archive += item.name;
        archive += stored;
        if (item.dataDescriptor) {
            Put(archive, 0x08074b50, 4);
            Put(archive, crc, 4);
            Put(archive, stored.size(), 4);
            Put(archive, size, 4);
        }

        Put(directory, 0x02014b50, 4);
        Put(directory, 20, 2);
        Put(directory, 20, 2);
        Put(directory, flags, 2);
        Put(directory, method, 2);
        Put(directory, 0x5A21, 2);
        Put(directory, 0x5987, 2);
        Put(directory, crc, 4);
        Put(directory, stored.size(), 4);
        Put(directory, size, 4);
        Put(directory, item.name.size(), 2);
        Put(directory, 0, 2);  // extra
        Put(directory, 0, 2);  // comment
        Put(directory, 0, 2);  // disk
        Put(directory, 0, 2);  // internal attributes
        Put(directory, 0, 4);  // external attributes
        Put(directory, offset, 4);
        directory += item.name;
    }
    const auto directoryOffset = archive.size();
    archive += directory;
    Put(archive, 0x06054b50, 4);
    Put(archive, 0, 2);
    Put(archive, 0, 2);
    Put(archive, items.size(), 2);
    Put(archive, items.size(), 2);
    Put(archive, directory.size(), 4);
    Put(archive, directoryOffset, 4);
    Put(archive, 0, 2);
    return archive;
}

void PatchFromEnd(std::string& archive, std::size_t fromEnd, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        archive[archive.size() - fromEnd + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string CuixPackage(const std::string& workspaceRootXml, const std::string& headerXml) {
    const std::string contentTypes =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"cui\" ContentType=\"text/xml\"/></Types>";
    const std::string relationships =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Type=\"http://schemas.autodesk.com/CUIx/2008/header\" "
        "Target=\"/Header.cui\" Id=\"R1\"/>"
        "</Relationships>";
    const std::string menuGroup =
        "<?xml version=\"1.0\" "
        "encoding=\"utf-8\"?><MenuGroupRoot><MenuGroup><Name>ACAD</Name></MenuGroup>"
        "</MenuGroupRoot>";
    return ZipArchive({
        {"[Content_Types].xml", contentTypes},
        {"_rels/.rels", relationships},
        {"Header.cui", headerXml},
        {"MenuGroup.cui", menuGroup},
        {"WorkspaceRoot.cui", workspaceRootXml},
    });
}

std::string WorkspaceRootXml(const std::string& workspaces) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<WorkspaceRoot>"
           "<WorkspaceConfigRoot><Name>Workspace Config</Name></WorkspaceConfigRoot>" +
           workspaces + "</WorkspaceRoot>";
}

std::string WorkspaceXml(const std::string& name, const std::vector<std::string>& tabIds,
                         const std::string& menuGroup) {
    std::string tabs;
    for (const auto& id : tabIds) {
        tabs +=
            "<WSRibbonTabSourceReference MenuGroup=\"" + menuGroup + "\" TabId=\"" + id + "\"/>";
    }
    return "<Workspace UID=\"WS_" + std::to_string(name.size()) + "\"><Name>" + name +
           "</Name><WorkspaceToolbar/><WSRibbonRoot>" + tabs + "</WSRibbonRoot></Workspace>";
}

std::string HeaderXml(const std::vector<std::string>& partialMenus) {
    std::string files;
    for (const auto& menu : partialMenus)
        files += "<PartialMenuFile>" + menu + "</PartialMenuFile>";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><CustSection><Header><CommonConfiguration>"
           "<CommonItems><MenuGroupName>ACAD</MenuGroupName>" +
           files + "</CommonItems></CommonConfiguration></Header></CustSection>";
}

}  // namespace tarvox::package
