// The arithmetic of the scaled dialog background.
#include "ui/layout_math.h"

namespace tarvox::ui {

std::vector<PictureVariant> PictureVariantsForScale(double scale) {
    if (scale == 1.0) return {{L"_100", 1.0}, {L"", 1.0}, {L"_200", 0.5}};
    if (scale == 1.25) return {{L"_125", 1.0}, {L"_200", 0.625}, {L"", 1.25}};
    if (scale == 1.5) return {{L"_150", 1.0}, {L"_200", 0.75}, {L"", 1.5}};
    if (scale == 2.0) return {{L"_200", 1.0}, {L"", 2.0}};
    return {{L"_200", scale / 2.0}, {L"", scale}};
}

Size ScaledSize(Size size, double factor) {
    return {static_cast<int>(size.width * factor), static_cast<int>(size.height * factor)};
}

std::size_t PositionRecordSize(std::size_t controlCount) { return 8 + 12 * controlCount; }

namespace {

void PutInt(std::string& bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

std::int32_t GetInt(std::string_view bytes, std::size_t offset) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

}  // namespace

std::string EncodePositionRecord(const PositionRecord& record) {
    std::string bytes;
    bytes.reserve(PositionRecordSize(record.controls.size()));
    PutInt(bytes, record.referenceWidth);
    PutInt(bytes, record.referenceHeight);
    for (const RecordedControl& control : record.controls) {
        PutInt(bytes, control.centreX);
        PutInt(bytes, control.centreY);
        PutInt(bytes, control.width);
    }
    return bytes;
}

std::optional<PositionRecord> DecodePositionRecord(std::string_view bytes) {
    if (bytes.size() < PositionRecordSize(0)) return std::nullopt;
    PositionRecord record;
    record.referenceWidth = GetInt(bytes, 0);
    record.referenceHeight = GetInt(bytes, 4);
    for (std::size_t offset = 8; offset + 12 <= bytes.size(); offset += 12) {
        record.controls.push_back(
            {GetInt(bytes, offset), GetInt(bytes, offset + 4), GetInt(bytes, offset + 8)});
    }
    return record;
}

std::optional<PositionRecord> DecodePositionFile(std::string_view bytes, std::size_t controlCount) {
    if (bytes.size() != PositionRecordSize(controlCount)) return std::nullopt;
    return DecodePositionRecord(bytes);
}

std::int32_t EdgeMean(std::int32_t low, std::int32_t high) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(low) + high) / 2);
}

Size TargetClientSize(Size picture, const PositionRecord* record, double scale) {
    if (record == nullptr) return picture;
    return {static_cast<int>(record->referenceWidth * scale),
            static_cast<int>(record->referenceHeight * scale)};
}

Size GrownWindowSize(Size window, Size client, Size target) {
    return {window.width + (target.width - client.width),
            window.height + (target.height - client.height)};
}

Placement PlaceRecordedControl(const RecordedControl& control, double scale, int currentHeight) {
    Placement placement;
    placement.width = static_cast<int>(control.width * scale);
    placement.x = static_cast<int>(control.centreX * scale - placement.width / 2);
    placement.y = static_cast<int>(control.centreY * scale - currentHeight / 2);
    return placement;
}

int TabBlankCount(int widthOfXXXX, int widthOfTenBlanks) {
    if (widthOfTenBlanks <= 0) return 0;
    return static_cast<int>(static_cast<double>(widthOfXXXX) / widthOfTenBlanks * 10.0);
}

int LineAdvance(int heightOfXXXX) { return static_cast<int>(1.2 * heightOfXXXX); }

std::vector<std::wstring> TextLinesForRendering(std::wstring_view text, int blanks) {
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        if (c == L'\n') {
            lines.emplace_back();
        } else if (c == L'\t') {
            lines.back().append(static_cast<std::size_t>(blanks > 0 ? blanks : 0), L' ');
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

}  // namespace tarvox::ui
