// The hand-over of a saved configuration to the host application's drawing.
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;

class DrawingHandOverTest : public SandboxTest {
protected:
    ChildResult Run(const char* scenario, const std::wstring& file) {
        ChildOptions options;
        options.sandboxKey = registry.ScratchKey();
        options.args = {FolderOfThisProgram() + L"\\testmodules", file};
        ChildResult result = RunChildScenario(scenario, options);
        EXPECT_TRUE(result.Passed()) << result.output;
        return result;
    }
};

TEST_F(DrawingHandOverTest, HostGetsTheKeyAndTheTextWithoutComments) {
    const std::wstring path =
        temp.WriteFile(L"Settings.cfg", "; comment\r\n[A]\r\n/note\r\nk=0\r\n\r\n[B]\r\nb=1\r\n");
    const ChildResult child = Run("DrawingHandOver", path);
    EXPECT_EQ(child.Value("saved"), "1");
    EXPECT_EQ(child.Value("calls"), "1");
    EXPECT_EQ(child.Value("key"), "SETTINGS");
    EXPECT_NE(child.Value("text").find("[A]"), std::string::npos);
    EXPECT_EQ(child.Value("text").find("comment"), std::string::npos);
    EXPECT_EQ(child.Value("text").find("note"), std::string::npos);
    // The file keeps its comments.
    EXPECT_EQ(ReadFileBytes(path), "; comment\r\n[A]\r\n/note\r\nk=1\r\n\r\n[B]\r\nb=1\r\n");
}

TEST_F(DrawingHandOverTest, AMissingHostStaysMissingForTheProcessAndFilesAreStillSaved) {
    const std::wstring path = temp.WriteFile(L"Notes.xml", "[A]\r\nk=0\r\n");
    const ChildResult child = Run("DrawingHostMissing", path);
    EXPECT_EQ(child.Value("first_saved"), "1");
    EXPECT_EQ(child.Value("second_saved"), "1");
    EXPECT_EQ(child.Value("calls"), "0");
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=2\r\n");
}

}  // namespace
