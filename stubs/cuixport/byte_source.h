// Where the ZIP reader takes its bytes from: a file on Windows, memory in tests and fuzzing.
// The reader asks only for ranges it has checked against Size(), so a source never has to
// hold more than one range at a time.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace cuixport {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills out with the bytes at offset; false when they are not all there or cannot be read.
    virtual bool ReadAt(std::uint64_t offset, std::span<unsigned char> out) const = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const unsigned char> bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(std::uint64_t offset, std::span<unsigned char> out) const override {
        if (offset > m_bytes.size() || out.size() > m_bytes.size() - offset) return false;
        if (!out.empty()) std::memcpy(out.data(), m_bytes.data() + offset, out.size());
        return true;
    }

private:
    std::span<const unsigned char> m_bytes;
};

// Little-endian fields of a ZIP record held in memory; reads past the end give 0 and clear ok.
class FieldReader {
public:
    explicit FieldReader(std::span<const unsigned char> bytes) : m_bytes(bytes) {}
    bool Ok() const { return m_ok; }
    std::size_t Remaining() const { return m_bytes.size() - m_position; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::uint64_t U64() { return Unsigned(8); }
    std::span<const unsigned char> Bytes(std::size_t count) {
        if (count > Remaining()) {
            m_ok = false;
            m_position = m_bytes.size();
            return {};
        }
        const auto result = m_bytes.subspan(m_position, count);
        m_position += count;
        return result;
    }

private:
    std::uint64_t Unsigned(std::size_t count) {
        const auto bytes = Bytes(count);
        std::uint64_t value = 0;
        for (std::size_t i = bytes.size(); i > 0; --i) value = (value << 8) | bytes[i - 1];
        return value;
    }

    std::span<const unsigned char> m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

}  // namespace cuixport
