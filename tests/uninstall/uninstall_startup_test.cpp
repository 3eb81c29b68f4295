// The uninstaller's start: the project file it was given, the load and the confirmation.

#include "uninstall/uninstall_startup.hpp"

#include <gtest/gtest.h>

#include "tests/install/installation_sandbox.hpp"

namespace {

using installation_test::sandbox;
using installation_test::scripted_screen;

constexpr char project_path[] = "C:\\Program Files\\Sample App\\arkbs.vrz";

class uninstall_startup_test : public ::testing::Test {
protected:
    bool load(const std::string& path) {
        uninstall::uninstall_startup startup(box.sys(), screen, "qlun", model::load_project);
        return startup.load(path, project);
    }
    void put_project(const std::string& bytes) {
        box.folders("C:\\Program Files\\Sample App");
        box.put(project_path, bytes);
    }
    static std::string titled_project() {
        model::project_data p;
        p.app_name.app_name = "サンプル ソフト";
        return model::serialize_project(p);
    }

    sandbox box;
    scripted_screen screen;
    model::project_data project;
};

TEST_F(uninstall_startup_test, missing_or_empty_path_says_already_removed) {
    for (const std::string& path : {std::string(project_path), std::string()}) {
        screen.boxes.clear();
        EXPECT_FALSE(load(path));
        ASSERT_EQ(screen.boxes.size(), 1u) << path;
        EXPECT_EQ(screen.boxes[0].text, "このアプリケーションは既に削除されています。");
        EXPECT_EQ(screen.boxes[0].caption, "Uninstall");
        EXPECT_EQ(screen.boxes[0].flags, 0x40u);
    }
}

TEST_F(uninstall_startup_test, path_with_blanks_is_used_whole) {
    put_project(titled_project());
    EXPECT_TRUE(load(project_path));
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_EQ(project.app_name.app_name, "サンプル ソフト");
}

struct broken_case {
    const char* name;
    std::size_t kept_bytes;
    const char* message;
};

class broken_project_test : public uninstall_startup_test,
                            public ::testing::WithParamInterface<broken_case> {};

TEST_P(broken_project_test, reports_with_application_title) {
    put_project(titled_project().substr(0, GetParam().kept_bytes));
    EXPECT_FALSE(load(project_path));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, GetParam().message);
    EXPECT_EQ(screen.boxes[0].caption, "qlun");
    EXPECT_EQ(screen.boxes[0].flags, 0x30u);
}

INSTANTIATE_TEST_SUITE_P(files, broken_project_test,
                         ::testing::Values(broken_case{"empty", 0, "予期しないﾌｧｲﾙ形式です。"},
                                           broken_case{"cut_in_name", 6, "予期しないﾌｧｲﾙ形式です。"},
                                           broken_case{"cut_in_records", 100, "予期しないﾌｧｲﾙ形式です。"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(uninstall_startup_test, folder_in_place_of_the_project_cannot_be_opened) {
    box.folders(project_path);
    EXPECT_FALSE(load(project_path));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。");
}

struct confirm_case {
    int answer;
    bool removes;
};

class confirm_test : public uninstall_startup_test, public ::testing::WithParamInterface<confirm_case> {};

TEST_P(confirm_test, asks_with_application_name) {
    project.app_name.app_name = "100% ソフト";
    screen.answers = {GetParam().answer};
    uninstall::uninstall_startup startup(box.sys(), screen, "qlun", model::load_project);
    EXPECT_EQ(startup.confirm(project), GetParam().removes);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, "100% ソフト をハードディスクから削除します。\nよろしいですか？");
    EXPECT_EQ(screen.boxes[0].caption, "Uninstall");
    EXPECT_EQ(screen.boxes[0].flags, 0x41u);
}

INSTANTIATE_TEST_SUITE_P(answers, confirm_test,
                         ::testing::Values(confirm_case{platform::IdOk, true},
                                           confirm_case{platform::IdCancel, false}));

}  // namespace
