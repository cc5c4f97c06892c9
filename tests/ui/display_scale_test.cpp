// The display scale as the process measures it.
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;

TEST(DisplayScale, IsTheDesktopsPixelsPerInchOver96AndStaysTheSame) {
    const ChildResult child = RunChildScenario("DisplayScale");
    ASSERT_TRUE(child.Passed()) << child.output;
    const long long pixelsPerInch = std::stoll(child.Value("logpixels"));
    ASSERT_GT(pixelsPerInch, 0);
    EXPECT_EQ(std::stoll(child.Value("scale.x1000")), pixelsPerInch * 1000 / 96);
    EXPECT_EQ(child.Value("again.x1000"), child.Value("scale.x1000"));
}

}  // namespace
