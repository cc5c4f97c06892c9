// Real dialogs laid out in child processes. Each child runs from a copy in the test's own
// folder, so that the position files it writes beside itself belong to this test alone.
#include <tarvox/ui.h>

#include "ui/layout_math.h"

#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace tarvox::test;
using tarvox::ui::PositionRecord;
using tarvox::ui::RecordedControl;

class DialogLayout : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }

    ChildResult Run(const wchar_t* className, const wchar_t* scale, int controls, int fit = 1, int inactive = 0) {
        ChildOptions options;
        options.programFolder = temp.Path();
        options.args = {className, scale, std::to_wstring(controls), std::to_wstring(fit), std::to_wstring(inactive)};
        ChildResult result = RunChildScenario("ScaledDialog", options);
        EXPECT_TRUE(result.Passed()) << result.output;
        EXPECT_EQ(result.Value("subclass.released"), "1");
        return result;
    }

    std::wstring PositionFile(const wchar_t* className) const { return temp / (std::wstring(className) + L".ctrlPos"); }
};

// Where the scenario's three controls start (x, y, width x height in the client area).
constexpr const char* kStart[] = {"60,40,80x20", "200,100,120x24", "20,200,160x16"};

TEST_F(DialogLayout, AFirstRunAt100PercentFitsThePictureAndRecordsThePositions) {
    const ChildResult child = Run(L"CFreshDialog", L"1.0", 3);
    EXPECT_EQ(child.Value("file.before"), "-1");
    EXPECT_EQ(child.Value("picture"), "400x300");
    EXPECT_EQ(child.Value("client"), "400x300");
    EXPECT_EQ(child.Value("background"), "0,0,400x300");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(child.Value("control" + std::to_string(i)), kStart[i]);
    EXPECT_EQ(child.Value("file.after"), "44");

    const auto record = tarvox::ui::DecodePositionRecord(ReadFileBytes(PositionFile(L"CFreshDialog")));
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->referenceWidth, 400);
    EXPECT_EQ(record->referenceHeight, 300);
    // Recorded in the order the dialog lists its children; compared without depending on it.
    std::vector<RecordedControl> controls = record->controls;
    std::vector<RecordedControl> expected{{100, 50, 80}, {260, 112, 120}, {100, 208, 160}};
    auto byPosition = [](const RecordedControl& a, const RecordedControl& b) {
        return std::tie(a.centreX, a.centreY, a.width) < std::tie(b.centreX, b.centreY, b.width);
    };
    std::sort(controls.begin(), controls.end(), byPosition);
    std::sort(expected.begin(), expected.end(), byPosition);
    EXPECT_EQ(controls, expected);
}

TEST_F(DialogLayout, AtOneHundredPercentAnExistingFileIsNeitherReadNorWritten) {
    const std::string other = tarvox::ui::EncodePositionRecord({500, 400, {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}}});
    temp.WriteFile(L"CFreshDialog.ctrlPos", other);
    const ChildResult child = Run(L"CFreshDialog", L"1.0", 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(child.Value("control" + std::to_string(i)), kStart[i]);
    EXPECT_EQ(child.Value("client"), "400x300");
    EXPECT_EQ(ReadFileBytes(PositionFile(L"CFreshDialog")), other);
}

TEST_F(DialogLayout, PositionsRecordedAt100PercentAreAppliedAt150Percent) {
    Run(L"CFreshDialog", L"1.0", 3);
    const std::string recorded = ReadFileBytes(PositionFile(L"CFreshDialog"));
    ASSERT_EQ(recorded.size(), 44u);

    const ChildResult child = Run(L"CFreshDialog", L"1.5", 3);
    EXPECT_EQ(child.Value("picture"), "600x450");  // the 150 % variant from the resources
    EXPECT_EQ(child.Value("client"), "600x450");
    EXPECT_EQ(child.Value("background"), "0,0,600x450");
    EXPECT_EQ(child.Value("control0"), "90,65,120x20");
    EXPECT_EQ(child.Value("control1"), "300,156,180x24");
    EXPECT_EQ(child.Value("control2"), "30,304,240x16");
    EXPECT_EQ(ReadFileBytes(PositionFile(L"CFreshDialog")), recorded);
}

TEST_F(DialogLayout, APositionFileOfTheWrongSizeIsIgnored) {
    Run(L"CFreshDialog", L"1.0", 3);
    // The dialog now has two controls: 32 bytes expected, 44 found.
    const ChildResult child = Run(L"CFreshDialog", L"1.5", 2);
    EXPECT_EQ(child.Value("client"), "600x450");
    EXPECT_EQ(child.Value("control0"), kStart[0]);
    EXPECT_EQ(child.Value("control1"), kStart[1]);
    EXPECT_EQ(child.Value("file.after"), "44");

    temp.WriteFile(L"CShortDialog.ctrlPos", std::string(43, '\0'));
    const ChildResult shortFile = Run(L"CShortDialog", L"1.5", 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(shortFile.Value("control" + std::to_string(i)), kStart[i]);
}

TEST_F(DialogLayout, AtOtherScalesWithoutARecordNothingMovesAndNothingIsWritten) {
    const ChildResult child = Run(L"CUnrecordedDialog", L"1.25", 3);
    EXPECT_EQ(child.Value("picture"), "500x375");  // the bare picture stretched by 1.25
    EXPECT_EQ(child.Value("client"), "500x375");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(child.Value("control" + std::to_string(i)), kStart[i]);
    EXPECT_EQ(child.Value("file.after"), "-1");
}

TEST_F(DialogLayout, AResourceRecordSizesTheDialogAndPlacesItsControls) {
    const ChildResult child = Run(L"CRecordedDialog", L"1.5", 1);
    EXPECT_EQ(child.Value("client"), "600x450");
    EXPECT_EQ(child.Value("control0"), "90,65,120x20");
    EXPECT_EQ(child.Value("file.after"), "-1");

    // At 100 % the record gives the client size and no file is written.
    const ChildResult normal = Run(L"CRecordedDialog", L"1.0", 1);
    EXPECT_EQ(normal.Value("client"), "400x300");
    EXPECT_EQ(normal.Value("control0"), kStart[0]);
    EXPECT_EQ(normal.Value("file.after"), "-1");
}

TEST_F(DialogLayout, WithoutFittingTheDialogAndTheBackgroundKeepTheirSizes) {
    const ChildResult child = Run(L"CLooseDialog", L"1.0", 1, 0);
    EXPECT_EQ(child.Value("client"), "300x200");
    EXPECT_EQ(child.Value("background"), "0,0,10x10");
    const auto record = tarvox::ui::DecodePositionRecord(ReadFileBytes(PositionFile(L"CLooseDialog")));
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->referenceWidth, 300);
    EXPECT_EQ(record->referenceHeight, 200);
    EXPECT_EQ(record->controls, (std::vector<RecordedControl>{{100, 50, 80}}));
}

TEST_F(DialogLayout, AtTheDisplayScaleTheDialogFitsThePictureLoadedForIt) {
    const ChildResult scale = RunChildScenario("DisplayScale");
    ASSERT_TRUE(scale.Passed()) << scale.output;
    const bool normal = scale.Value("scale.x1000") == "1000";

    const ChildResult child = Run(L"CDisplayDialog", L"display", 3);
    CGdiBitmap expected;
    ASSERT_EQ(LoadScaledBitmap(L"ID_BACKGROUND", expected, GetDpiScale()), 1);
    const std::string size = std::to_string(expected.GetSize().cx) + "x" + std::to_string(expected.GetSize().cy);
    EXPECT_EQ(child.Value("picture"), size);
    EXPECT_EQ(child.Value("client"), size);
    // Only a dialog at 100 % records its positions.
    EXPECT_EQ(child.Value("file.after"), normal ? "44" : "-1");
}

TEST_F(DialogLayout, TheInactiveBackgroundIsLoadedForTheScaleOnRequest) {
    EXPECT_EQ(Run(L"CRecordedDialog", L"1.5", 1, 1, 0).Value("inactive"), "0x0");
    EXPECT_EQ(Run(L"CRecordedDialog", L"1.5", 1, 1, 1).Value("inactive"), "600x450");
    EXPECT_EQ(Run(L"CRecordedDialog", L"1.0", 1, 1, 1).Value("inactive"), "400x300");
}

}  // namespace
