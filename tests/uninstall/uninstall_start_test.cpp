#include "uninstall/uninstall_start.hpp"

#include <gtest/gtest.h>

#include "platform/screen.hpp"
#include "tests/install/installation_sandbox.hpp"

namespace uninstall {
namespace {

using installation_test::sandbox;
using installation_test::scripted_screen;

const std::string project_path = "C:\\Program Files\\My App\\arkbs.vrz";

model::project_data sample_project() {
    model::project_data p;
    p.app_name.app_name = "アプリ";
    return p;
}

TEST(open_for_removal, reads_the_project_and_asks_once) {
    sandbox box;
    box.put(project_path, model::serialize_project(sample_project()));
    scripted_screen screen;
    model::project_data project;
    EXPECT_EQ(open_for_removal(box.sys(), screen, project_path, project), start_outcome::Confirmed);
    EXPECT_EQ(project.app_name.app_name, "アプリ");
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0], (scripted_screen::box{"アプリ をハードディスクから削除します。\nよろしいですか？",
                                                     "Uninstall", 0x41}));
    EXPECT_TRUE(box.exists(project_path));
}

TEST(open_for_removal, cancel_leaves_everything) {
    sandbox box;
    box.put(project_path, model::serialize_project(sample_project()));
    scripted_screen screen;
    screen.answers = {platform::IdCancel};
    model::project_data project;
    EXPECT_EQ(open_for_removal(box.sys(), screen, project_path, project), start_outcome::Cancelled);
    EXPECT_TRUE(box.exists(project_path));
}

TEST(open_for_removal, without_asking_shows_nothing) {
    sandbox box;
    box.put(project_path, model::serialize_project(sample_project()));
    scripted_screen screen;
    model::project_data project;
    EXPECT_EQ(open_for_removal(box.sys(), screen, project_path, project, false), start_outcome::Confirmed);
    EXPECT_TRUE(screen.boxes.empty());
}

struct missing_case {
    const char* what;
    std::string path;
};

class open_for_removal_missing : public testing::TestWithParam<missing_case> {};

TEST_P(open_for_removal_missing, says_the_application_is_already_removed) {
    sandbox box;
    scripted_screen screen;
    model::project_data project;
    EXPECT_EQ(open_for_removal(box.sys(), screen, GetParam().path, project), start_outcome::AlreadyRemoved);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0], (scripted_screen::box{"このアプリケーションは既に削除されています。", "Uninstall",
                                                     platform::MbOk | platform::MbIconInformation}));
}

INSTANTIATE_TEST_SUITE_P(paths, open_for_removal_missing,
                         testing::Values(missing_case{"no_command_line", ""},
                                         missing_case{"removed_before", project_path},
                                         missing_case{"folder_missing", "C:\\Gone\\arkbs.vrz"}),
                         [](const testing::TestParamInfo<missing_case>& info) { return std::string(info.param.what); });

TEST(open_for_removal, a_damaged_project_is_reported_and_nothing_is_asked) {
    sandbox box;
    const std::string bytes = model::serialize_project(sample_project());
    box.put(project_path, bytes.substr(0, bytes.size() / 2));
    scripted_screen screen;
    model::project_data project;
    EXPECT_EQ(open_for_removal(box.sys(), screen, project_path, project), start_outcome::Unreadable);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0], (scripted_screen::box{"予期しないﾌｧｲﾙ形式です。", "qlun",
                                                     platform::MbOk | platform::MbIconExclamation}));
}

}  // namespace
}  // namespace uninstall
