// The installer's start: project file check, document load and what the user is told.

#include "setup/setup_startup.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fake_system.hpp"
#include "recording_screen.hpp"

namespace {

using model::load_result;
using setup_test::fake_system;
using setup_test::recording_screen;

constexpr char title[] = "Setup Version 1.0";

class startup_test : public ::testing::Test {
protected:
    /// A loader that answers result and records the paths it was asked for.
    setup::setup_startup::project_loader scripted_loader(load_result result) {
        return [this, result](platform::system&, const std::string& path, model::project_data& project) {
            loaded_paths.push_back(path);
            if (result == load_result::Ok) project.dsp_mainfrm.frame_title = "loaded";
            return result;
        };
    }

    bool run(load_result result) {
        setup::setup_startup startup(system, screen, screen, title, scripted_loader(result));
        return startup.run(project);
    }

    fake_system system;
    recording_screen screen;
    model::project_data project;
    std::vector<std::string> loaded_paths;
};

TEST_F(startup_test, missing_project_file_shows_stop_message_then_failure_page) {
    EXPECT_FALSE(run(load_result::Ok));

    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text,
              "\"Arkbs.vrz\"ファイルの読み込みに失敗しました。\n\n"
              "ファイルが存在しないか、壊れている可能性があります。\n"
              "ファイルが壊れた場合は、ユーザーサポート係までご連絡ください。");
    EXPECT_EQ(screen.boxes[0].caption, title);
    EXPECT_EQ(screen.boxes[0].flags, 0x10u);
    EXPECT_EQ(screen.events, (std::vector<std::string>{"wait cursor off", "message box", "failure page"}));
    EXPECT_TRUE(loaded_paths.empty());
}

TEST_F(startup_test, looks_for_the_relative_name_only) {
    // The file beside the program but not in the current folder does not count.
    system.files["C:\\PACKAGE\\arkbs.vrz"] = "x";
    EXPECT_FALSE(run(load_result::Ok));
    EXPECT_EQ(system.status_queries, std::vector<std::string>{"arkbs.vrz"});
    EXPECT_EQ(screen.events.back(), "failure page");
}

TEST_F(startup_test, loaded_project_goes_on_silently) {
    system.files["arkbs.vrz"] = "x";
    EXPECT_TRUE(run(load_result::Ok));
    EXPECT_EQ(loaded_paths, std::vector<std::string>{"arkbs.vrz"});
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_EQ(screen.events, (std::vector<std::string>{"wait cursor on", "wait cursor off"}));
    EXPECT_EQ(project.dsp_mainfrm.frame_title, "loaded");
}

TEST_F(startup_test, folder_named_like_the_project_is_handed_to_the_loader) {
    system.folders.insert("arkbs.vrz");
    EXPECT_FALSE(run(load_result::Unreadable));
    EXPECT_EQ(loaded_paths.size(), 1u);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.events.back(), "message box");
}

struct load_failure_case {
    load_result result;
    const char* message;
};

class load_failure_test : public startup_test, public ::testing::WithParamInterface<load_failure_case> {};

TEST_P(load_failure_test, reports_framework_message_without_failure_page) {
    system.files["arkbs.vrz"] = "x";
    EXPECT_FALSE(run(GetParam().result));

    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, GetParam().message);
    EXPECT_EQ(screen.boxes[0].caption, title);
    EXPECT_EQ(screen.boxes[0].flags, 0x30u);
    // The wait cursor is ended before the message and no failure page follows.
    EXPECT_EQ(screen.events, (std::vector<std::string>{"wait cursor on", "wait cursor off", "message box"}));
}

INSTANTIATE_TEST_SUITE_P(
    results, load_failure_test,
    ::testing::Values(load_failure_case{load_result::Malformed, "予期しないﾌｧｲﾙ形式です。"},
                      load_failure_case{load_result::Unreadable, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
                      // Gone between the check and the load: it could not be opened.
                      load_failure_case{load_result::Missing, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"}));

/// The start with the real project reader over the in-memory machine.
class real_loader_test : public ::testing::Test {
protected:
    static std::string fixture(const char* name) {
        std::ifstream in(std::string(VRZ_TEST_DATA) + "/setup/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    bool run() {
        setup::setup_startup startup(system, screen, screen, title, model::load_project);
        return startup.run(project);
    }

    fake_system system;
    recording_screen screen;
    model::project_data project;
};

TEST_F(real_loader_test, titled_project_loads) {
    system.files["arkbs.vrz"] = fixture("titled_project.vrz");
    ASSERT_FALSE(system.files["arkbs.vrz"].empty());
    EXPECT_TRUE(run());
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_EQ(project.dsp_mainfrm.frame_title, "サンプル ソフト セットアップ");
    EXPECT_EQ(project.dsp_mainfrm.dsp_flag, 1);
}

struct broken_file_case {
    const char* name;
    std::size_t kept_bytes;  ///< bytes of the titled project kept
    bool unreadable;
    const char* message;
};

class broken_file_test : public real_loader_test, public ::testing::WithParamInterface<broken_file_case> {};

TEST_P(broken_file_test, reports_and_ends_without_failure_page) {
    const auto& c = GetParam();
    system.files["arkbs.vrz"] = fixture("titled_project.vrz").substr(0, c.kept_bytes);
    if (c.unreadable) system.unreadable.insert("arkbs.vrz");
    EXPECT_FALSE(run());
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, c.message);
    EXPECT_EQ(screen.boxes[0].flags, 0x30u);
    EXPECT_EQ(screen.events.back(), "message box");
    // A failed load leaves no half-read document behind.
    EXPECT_EQ(project.dsp_mainfrm.frame_title, "");
}

INSTANTIATE_TEST_SUITE_P(
    files, broken_file_test,
    ::testing::Values(broken_file_case{"empty", 0, false, "予期しないﾌｧｲﾙ形式です。"},
                      broken_file_case{"cut_in_title", 40, false, "予期しないﾌｧｲﾙ形式です。"},
                      broken_file_case{"cut_before_maps", 250, false, "予期しないﾌｧｲﾙ形式です。"},
                      broken_file_case{"unreadable", 265, true, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
