// The main window over the work area.

#include "setup/frame_layout.hpp"

#include <gtest/gtest.h>

namespace {

struct layout_case {
    const char* name;
    bool visible;
    setup::screen_rect work_area;
    setup::frame_layout expected;
};

class frame_layout_test : public ::testing::TestWithParam<layout_case> {};

TEST_P(frame_layout_test, arranges_over_work_area) {
    const auto& c = GetParam();
    EXPECT_EQ(setup::arrange_main_frame("サンプル ソフト セットアップ", c.visible, c.work_area), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    cases, frame_layout_test,
    ::testing::Values(
        layout_case{
            "shown", true, {0, 0, 1024, 738}, {0, 0, 1024, 738, true, "サンプル ソフト セットアップ"}},
        layout_case{"hidden", false, {0, 0, 640, 452}, {0, 0, 640, 452, false, "セットアップ"}},
        // Task bar at the top: the window starts below it and reaches 30 pixels past the bottom.
        layout_case{
            "taskbar_top", true, {0, 30, 800, 600}, {0, 30, 800, 600, true, "サンプル ソフト セットアップ"}},
        layout_case{"taskbar_left", false, {60, 0, 1024, 768}, {60, 0, 1024, 768, false, "セットアップ"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
