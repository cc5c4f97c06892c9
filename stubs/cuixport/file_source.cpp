#include "stubs/cuixport/file_source.h"

#include <algorithm>

namespace cuixport {

FileSource::FileSource(const std::wstring& path) {
    m_file = CreateFileW(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_file, &size) || size.QuadPart < 0) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        return;
    }
    m_size = static_cast<std::uint64_t>(size.QuadPart);
}

FileSource::~FileSource() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
}

bool FileSource::ReadAt(std::uint64_t offset, std::span<unsigned char> out) const {
    if (!Valid() || offset > m_size || out.size() > m_size - offset) return false;
    std::size_t done = 0;
    while (done < out.size()) {
        // The offset travels with each read, so reads of several threads do not meet.
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD step = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 24));
        DWORD read = 0;
        if (!ReadFile(m_file, out.data() + done, step, &read, &at) || read == 0) return false;
        done += read;
    }
    return true;
}

}  // namespace cuixport
