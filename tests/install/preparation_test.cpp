#include "install/preparation.hpp"

#include <gtest/gtest.h>

#include "copy_test_package.hpp"
#include "install/file_copy_messages.hpp"

namespace {

using install_test::app_file;

constexpr const char* package_folder = "D:\\PKG";

class preparation_test : public ::testing::Test {
protected:
    install_test::sandbox box{R"({"drives": {"C": {}, "D": {}}})"};
    install_test::scripted_screen screen;
    install_test::recording_view view;
    model::project_data project = install_test::make_project();
    std::string temp = install_test::temp_of(box);

    package::package_image package_with_volumes(std::uint32_t volumes) {
        std::vector<app_file> files;
        for (std::uint32_t i = 0; i < volumes * 2; ++i)
            files.push_back({"f" + std::to_string(i), std::string(700, 'a' + i)});
        auto image = install_test::build(files, volumes);
        install_test::write_package_folder(box, package_folder, image, project);
        return image;
    }

    install::package_preparation make() {
        install::package_preparation p(box.sys(), screen, view, package_folder);
        p.find_folders();
        return p;
    }
};

TEST(preparation_folders, TheTemporaryFolderFollowsThePlatform) {
    struct {
        const char* machine;
        const char* windows;
        const char* temp;
    } cases[] = {
        {R"({"platform_id": 1})", "C:\\WINDOWS", "C:\\WINDOWS\\temp\\"},
        {R"({"platform_id": 2, "windows_directory": "D:\\WINNT", "system_directory": "D:\\WINNT\\SYSTEM32",
             "drives": {"C": {}, "D": {}}})",
         "D:\\WINNT", "D:\\temp\\"},
    };
    for (const auto& c : cases) {
        install_test::sandbox box(c.machine);
        install_test::scripted_screen screen;
        install_test::recording_view view;
        install::package_preparation p(box.sys(), screen, view, "");
        p.find_folders();
        EXPECT_EQ(p.windows_folder(), c.windows);
        EXPECT_EQ(p.temp_folder(), c.temp);
    }
}

TEST_F(preparation_test, CopiesTheControlFilesUnderTheirNames) {
    package_with_volumes(1);
    ASSERT_EQ(box.sys().delete_file(std::string(package_folder) + "\\readme.txt"),
              platform::file_error::None);
    auto p = make();
    p.copy_control_files();
    EXPECT_EQ(box.get(temp + "Setup.exe"), install_test::installer_image);
    EXPECT_EQ(box.get(temp + "qlun.exe"), install_test::uninstaller_image);
    for (const char* same : {"arkmtx.vrz", "ark.vrz", "arkbs.vrz", "arkci.vrz", "licence.lic"}) {
        EXPECT_EQ(box.get(temp + same), box.get(std::string(package_folder) + "\\" + same)) << same;
    }
    // A missing file is not reported here.
    EXPECT_FALSE(box.exists(temp + "readme.txt"));
    EXPECT_TRUE(screen.boxes.empty());
    EXPECT_EQ(std::size(install::control_files), 8u);
    EXPECT_STREQ(install::control_files[0].source, "spex1.dat");
    EXPECT_STREQ(install::control_files[7].copy, "readme.txt");
}

struct join_case {
    std::uint32_t volumes;
    std::vector<int> bar;  ///< positions set from position 80 on
};

class preparation_join_test : public preparation_test, public ::testing::WithParamInterface<join_case> {};

TEST_P(preparation_join_test, GathersAndJoinsTheVolumesAndMovesTheBar) {
    const auto& c = GetParam();
    const auto image = package_with_volumes(c.volumes);
    auto p = make();
    ASSERT_TRUE(p.read_volume_header("セットアップ"));
    int position = 80;
    ASSERT_TRUE(p.copy_package(position));
    EXPECT_EQ(view.progress, c.bar);
    EXPECT_EQ(position, c.bar.back());
    EXPECT_EQ(box.get(temp + "~vrncomp.tmp"), image.joined);
    for (std::uint32_t i = 0; i < c.volumes; ++i)
        EXPECT_TRUE(box.exists(temp + package::volume_file_name(i)));
    EXPECT_TRUE(screen.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    cases, preparation_join_test,
    ::testing::Values(join_case{1, {80, 100, 120}}, join_case{3, {80, 86, 92, 98, 104, 110, 116}},
                      join_case{7, {80, 82, 84, 86, 88, 90, 92, 94, 96, 98, 100, 102, 104, 106, 108}}));

TEST_F(preparation_test, AskForTheNextDiskForEachMissingVolume) {
    const auto image = package_with_volumes(3);
    const std::string folder = std::string(package_folder) + "\\";
    // The disk holds only the first volume; the second is put in while its request is open.
    ASSERT_EQ(box.sys().delete_file(folder + "ray001.vrz"), platform::file_error::None);
    ASSERT_EQ(box.sys().delete_file(folder + "ray002.vrz"), platform::file_error::None);
    screen.answers = {platform::IdOk, platform::IdOk};
    screen.while_open = [&](const install_test::scripted_screen::box&) {
        if (screen.boxes.size() == 1) box.put(folder + "ray001.vrz", image.volumes[1]);
    };
    auto p = make();
    ASSERT_TRUE(p.read_volume_header("セットアップ"));
    int position = 0;
    EXPECT_TRUE(p.copy_package(position));
    ASSERT_EQ(screen.boxes.size(), 2u);
    EXPECT_EQ(
        screen.boxes[0].text,
        "3枚目のフロッピーディスクをセットして下さい。\n\nセットできたらＯＫボタンをクリックして下さい。");
    EXPECT_EQ(
        screen.boxes[1].text,
        "4枚目のフロッピーディスクをセットして下さい。\n\nセットできたらＯＫボタンをクリックして下さい。");
    EXPECT_EQ(screen.boxes[0].caption, "セットアップ");
    EXPECT_EQ(screen.boxes[0].flags, 0x41u);
    // The third volume never came: the joined file ends after the second.
    EXPECT_EQ(box.get(temp + "~vrncomp.tmp"), image.volumes[0] + image.volumes[1]);
    EXPECT_FALSE(box.exists(temp + "ray002.vrz"));
}

TEST_F(preparation_test, CancellingADiskRequestDeletesTheCopiedControlFiles) {
    package_with_volumes(2);
    const std::string folder = std::string(package_folder) + "\\";
    ASSERT_EQ(box.sys().delete_file(folder + "ray000.vrz"), platform::file_error::None);
    screen.answers = {platform::IdCancel};
    auto p = make();
    ASSERT_TRUE(p.read_volume_header("セットアップ"));
    int position = 0;
    EXPECT_FALSE(p.copy_package(position));
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text.substr(0, 1), "2");
    for (const char* gone : {"arkmtx.vrz", "ark.vrz", "arkci.vrz", "licence.lic", "readme.txt", "qlun.exe"}) {
        EXPECT_FALSE(box.exists(temp + gone)) << gone;
    }
    // Not on the preparation's list: the view's clean-up takes arkbs.vrz, Setup.exe stays.
    EXPECT_TRUE(box.exists(temp + "arkbs.vrz"));
    EXPECT_TRUE(box.exists(temp + "Setup.exe"));
    EXPECT_FALSE(box.exists(temp + "~vrncomp.tmp"));
}

TEST_F(preparation_test, NoVolumesMeansAnEmptyJoinedFileAndNoBarMovement) {
    package_with_volumes(1);
    box.put(temp + "~vrncomp.tmp", "stale joined file of an earlier run");
    auto p = make();
    p.set_volume_header({0, 0, 0, 0});
    int position = 50;
    EXPECT_TRUE(p.copy_package(position));
    EXPECT_EQ(position, 50);
    EXPECT_EQ(view.progress, std::vector<int>{50});
    EXPECT_EQ(box.get(temp + "~vrncomp.tmp"), "");
    EXPECT_TRUE(screen.boxes.empty());
}

TEST_F(preparation_test, AnUnreadableVolumeHeaderFailsThePreparationWithThePackageMessage) {
    for (const char* content : std::initializer_list<const char*>{"", "0123456789ABCDE", nullptr}) {
        package_with_volumes(1);
        const std::string header = std::string(package_folder) + "\\arkci.vrz";
        if (content)
            box.put(header, content);
        else
            box.sys().delete_file(header);
        install_test::scripted_screen answers;
        answers.answers = {platform::IdOk};
        install::package_preparation p(box.sys(), answers, view, package_folder);
        EXPECT_FALSE(p.read_volume_header("Title"));
        ASSERT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(answers.boxes[0].text, install::package_file_failure_text);
        EXPECT_EQ(answers.boxes[0].caption, "Title");
        EXPECT_EQ(answers.boxes[0].flags, platform::MbOk | platform::MbIconStop);
    }
}

TEST_F(preparation_test, AJoinedFileThatCannotBeMadeFailsWithoutAMessage) {
    package_with_volumes(1);
    box.folders(temp + "~vrncomp.tmp");
    auto p = make();
    ASSERT_TRUE(p.read_volume_header("セットアップ"));
    int position = 0;
    EXPECT_FALSE(p.copy_package(position));
    EXPECT_TRUE(screen.boxes.empty());
}

TEST_F(preparation_test, SourceFolderMayEndWithABackslashOrBeEmpty) {
    install::package_preparation with(box.sys(), screen, view, "D:\\PKG\\");
    install::package_preparation without(box.sys(), screen, view, "D:\\PKG");
    install::package_preparation current(box.sys(), screen, view, "");
    EXPECT_EQ(with.source_path("ark.vrz"), "D:\\PKG\\ark.vrz");
    EXPECT_EQ(without.source_path("ark.vrz"), "D:\\PKG\\ark.vrz");
    EXPECT_EQ(current.source_path("ark.vrz"), "ark.vrz");
}

}  // namespace
