// Real dialogs laid out in child processes. Each child runs from a copy in the test's own
// folder, so that the position files it writes beside itself belong to this test alone.
#include <tarvox/ui.h>

#include "ui/layout_math.h"

#include "tests/support/sandbox_fixture.h"

#include <algorithm>

namespace {

using namespace tarvox::test;
using tarvox::ui::RecordedControl;
using Texts = std::vector<std::string>;

class DialogLayout : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }

    ChildResult Run(const wchar_t* className, const wchar_t* scale, int controls, int fit = 1,
                    int inactive = 0) {
        ChildResult result = RunChildScenario(
            "ScaledDialog", {.programFolder = temp.Path(),
                             .args = {className, scale, std::to_wstring(controls),
                                      std::to_wstring(fit), std::to_wstring(inactive)}});
        EXPECT_TRUE(result.Passed()) << result.output;
        EXPECT_EQ(result.Value("subclass.released"), "1");
        return result;
    }
    // The reported values of these keys, and of the controls "control0", "control1", ...
    static Texts Values(const ChildResult& child, Texts keys, std::size_t controls = 0) {
        for (std::size_t i = 0; i < controls; ++i) keys.push_back("control" + std::to_string(i));
        Texts values;
        for (const std::string& key : keys) values.push_back(child.Value(key));
        return values;
    }
    std::string PositionFile(const wchar_t* className) const {
        return ReadFileBytes(temp / (std::wstring(className) + L".ctrlPos"));
    }
};

// Where the scenario's three controls start (x, y, width x height in the client area).
const Texts kStart = {"60,40,80x20", "200,100,120x24", "20,200,160x16"};
Texts Join(Texts first, const Texts& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A first run at 100 % fits the picture and records the positions; at 150 % they are applied
// (with the 150 % picture from the resources) and the file stays as it was. A file of the
// wrong size is ignored: two controls expect 32 bytes and find 44.
TEST_F(DialogLayout, PositionsRecordedAt100PercentAreAppliedAt150Percent) {
    EXPECT_EQ(Values(Run(L"CFreshDialog", L"1.0", 3),
                     {"file.before", "picture", "client", "background", "file.after"}, 3),
              Join({"-1", "400x300", "400x300", "0,0,400x300", "44"}, kStart));
    const std::string recorded = PositionFile(L"CFreshDialog");
    const auto record = tarvox::ui::DecodePositionRecord(recorded);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->referenceWidth, 400);
    EXPECT_EQ(record->referenceHeight, 300);
    // Recorded in the order the dialog lists its children; compared without depending on it.
    const std::vector<RecordedControl> expected{{100, 50, 80}, {260, 112, 120}, {100, 208, 160}};
    EXPECT_TRUE(std::is_permutation(record->controls.begin(), record->controls.end(),
                                    expected.begin(), expected.end()));

    EXPECT_EQ(Values(Run(L"CFreshDialog", L"1.5", 3), {"picture", "client", "background"}, 3),
              (Texts{"600x450", "600x450", "0,0,600x450", "90,65,120x20", "300,156,180x24",
                     "30,304,240x16"}));
    EXPECT_EQ(PositionFile(L"CFreshDialog"), recorded);

    EXPECT_EQ(Values(Run(L"CFreshDialog", L"1.5", 2), {"client", "file.after"}, 2),
              (Texts{"600x450", "44", kStart[0], kStart[1]}));
    temp.WriteFile(L"CShortDialog.ctrlPos", std::string(43, '\0'));
    EXPECT_EQ(Values(Run(L"CShortDialog", L"1.5", 3), {}, 3), kStart);
}

TEST_F(DialogLayout, AtOneHundredPercentAnExistingFileIsNeitherReadNorWritten) {
    const std::string other =
        tarvox::ui::EncodePositionRecord({500, 400, {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}}});
    temp.WriteFile(L"CFreshDialog.ctrlPos", other);
    EXPECT_EQ(Values(Run(L"CFreshDialog", L"1.0", 3), {"client"}, 3), Join({"400x300"}, kStart));
    EXPECT_EQ(PositionFile(L"CFreshDialog"), other);
}

// Without a record nothing moves (the bare picture stretched by 1.25); a resource record sizes
// the dialog and places its controls. Neither writes a file.
TEST_F(DialogLayout, ARecordFromTheResourcesOrNoneAtAll) {
    EXPECT_EQ(Values(Run(L"CUnrecordedDialog", L"1.25", 3), {"picture", "client", "file.after"}, 3),
              Join({"500x375", "500x375", "-1"}, kStart));
    EXPECT_EQ(Values(Run(L"CRecordedDialog", L"1.5", 1), {"client", "file.after"}, 1),
              (Texts{"600x450", "-1", "90,65,120x20"}));
    EXPECT_EQ(Values(Run(L"CRecordedDialog", L"1.0", 1), {"client", "file.after"}, 1),
              (Texts{"400x300", "-1", kStart[0]}));
}

TEST_F(DialogLayout, WithoutFittingTheDialogAndTheBackgroundKeepTheirSizes) {
    EXPECT_EQ(Values(Run(L"CLooseDialog", L"1.0", 1, 0), {"client", "background"}),
              (Texts{"300x200", "0,0,10x10"}));
    const auto record = tarvox::ui::DecodePositionRecord(PositionFile(L"CLooseDialog"));
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(*record, (tarvox::ui::PositionRecord{300, 200, {{100, 50, 80}}}));
}

// The display scale is the desktop's pixels per inch over 96 and stays the same within a
// process; a dialog at it fits the picture loaded for it.
TEST_F(DialogLayout, AtTheDisplayScaleTheDialogFitsThePictureLoadedForIt) {
    const ChildResult scale = RunChildScenario("DisplayScale");
    ASSERT_TRUE(scale.Passed()) << scale.output;
    const long long pixelsPerInch = std::stoll(scale.Value("logpixels"));
    ASSERT_GT(pixelsPerInch, 0);
    EXPECT_EQ(std::stoll(scale.Value("scale.x1000")), pixelsPerInch * 1000 / 96);
    EXPECT_EQ(scale.Value("again.x1000"), scale.Value("scale.x1000"));
    CGdiBitmap expected;
    ASSERT_EQ(LoadScaledBitmap(L"ID_BACKGROUND", expected, GetDpiScale()), 1);
    const std::string size =
        std::to_string(expected.GetSize().cx) + "x" + std::to_string(expected.GetSize().cy);
    // Only a dialog at 100 % records its positions.
    EXPECT_EQ(Values(Run(L"CDisplayDialog", L"display", 3), {"picture", "client", "file.after"}),
              (Texts{size, size, scale.Value("scale.x1000") == "1000" ? "44" : "-1"}));
}

TEST_F(DialogLayout, TheInactiveBackgroundIsLoadedForTheScaleOnRequest) {
    EXPECT_EQ(Run(L"CRecordedDialog", L"1.5", 1, 1, 0).Value("inactive"), "0x0");
    EXPECT_EQ(Run(L"CRecordedDialog", L"1.5", 1, 1, 1).Value("inactive"), "600x450");
    EXPECT_EQ(Run(L"CRecordedDialog", L"1.0", 1, 1, 1).Value("inactive"), "400x300");
}

}  // namespace
