// The arithmetic of the scaled dialog background, free of any system call: which picture
// variant serves a display scale and by what factor it is stretched, how a dialog grows, where
// a recorded control goes at another scale, and the measures of rendered text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvox::ui {

// One picture variant to try: the suffix appended to the picture name ("" for the bare name)
// and the factor the loaded picture is stretched by.
struct PictureVariant {
    std::wstring_view suffix;
    double factor = 1.0;
};

// The variants to try for a display scale, in order. A variant drawn for the exact scale is
// used unscaled; the bare picture counts as drawn for 100 %, the "_200" one for 200 %.
std::vector<PictureVariant> PictureVariantsForScale(double scale);

// Width and height of a bitmap stretched by a factor (each truncated).
struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};
Size ScaledSize(Size size, double factor);

// One control of a position record: centre and width in client coordinates at 100 %.
struct RecordedControl {
    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
    std::int32_t width = 0;
    friend bool operator==(const RecordedControl&, const RecordedControl&) = default;
};

// The control positions of a dialog recorded at 100 %: the reference client size, then each
// control in the order the dialog lists its child windows.
struct PositionRecord {
    std::int32_t referenceWidth = 0;
    std::int32_t referenceHeight = 0;
    std::vector<RecordedControl> controls;
    friend bool operator==(const PositionRecord&, const PositionRecord&) = default;
};

// Bytes of a record with that many controls: 8 + 12 per control.
std::size_t PositionRecordSize(std::size_t controlCount);

// The record as little-endian 32-bit integers, and back. Decoding takes every whole control
// that the bytes hold; it fails only when they cannot hold the reference size.
std::string EncodePositionRecord(const PositionRecord& record);
std::optional<PositionRecord> DecodePositionRecord(std::string_view bytes);

// A position file is only read when its size matches the dialog's controls exactly.
std::optional<PositionRecord> DecodePositionFile(std::string_view bytes, std::size_t controlCount);

// Integer mean of a rectangle's two edges, as recorded.
std::int32_t EdgeMean(std::int32_t low, std::int32_t high);

// The client size a dialog is fitted to: the picture's size, or with a record its reference
// size times the scale (truncated).
Size TargetClientSize(Size picture, const PositionRecord* record, double scale);

// The window size after the client area grew from `client` to `target`.
Size GrownWindowSize(Size window, Size client, Size target);

// Where a recorded control goes at a scale; its height stays as it is.
struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};
Placement PlaceRecordedControl(const RecordedControl& control, double scale, int currentHeight);

// Blanks a tab expands to: width of "XXXX" over the width of ten blanks, times 10, truncated.
int TabBlankCount(int widthOfXXXX, int widthOfTenBlanks);

// How far each rendered line moves down: 1.2 times the height of "XXXX", truncated.
int LineAdvance(int heightOfXXXX);

// The text split at LF (a trailing LF gives a last empty line), each line with its tabs
// replaced by `blanks` blanks.
std::vector<std::wstring> TextLinesForRendering(std::wstring_view text, int blanks);

}  // namespace tarvox::ui
