#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <random>

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"
#include "model/project_data.hpp"
#include "tests/model/project_generator.hpp"
#include "tests/model/test_bytes.hpp"

namespace {

using namespace test_support;

std::string zeros32(int n) { return std::string(static_cast<std::size_t>(n) * 4, '\0'); }

/// The bytes of a fresh project: every record at its defaults, every map empty.
std::string fresh_project_bytes() {
    const std::string dsp = u32(0) + u32(0) + text("") + u32(1) + text("") + text("") + text("Times New Roman") +
                            u16(20) + u32(0) + u32(0) + u16(4) + u32(1) + u16(0) + u32(0) + u32(0);
    const std::string act = zeros32(23) + std::string(16, '\0') + zeros32(4) + u32(1) + text("") + u32(0) +
                            text("") + text("");
    const std::string files(13 * 2, '\0');  // 9 maps of setup_files and the 2 + 2 of the trees
    return text("") + text("") + text("") + dsp + act + text("") + files;
}

TEST(project_layout, FreshProjectIsDefaultsAndEmptyMaps) {
    EXPECT_EQ(model::serialize_project(model::project_data{}), fresh_project_bytes());
}

TEST(project_layout, FreshRecordDefaults) {
    const model::project_data p;
    EXPECT_EQ(p.dsp_mainfrm.banner_font, "Times New Roman");
    EXPECT_EQ(p.dsp_mainfrm.back_style, 1);
    EXPECT_EQ(p.dsp_mainfrm.banner_size, 20);
    EXPECT_EQ(p.dsp_mainfrm.banner_color, 4);
    EXPECT_EQ(p.dsp_mainfrm.banner_shadow, 1);
    EXPECT_EQ(p.dsp_mainfrm.shadow_color, 0);
    EXPECT_EQ(p.act_info.allow_standard, 1);
    EXPECT_EQ(p.act_info.allow_custom, 0);
    EXPECT_EQ(p.run_flag, 0);
    const model::file_object f;
    EXPECT_EQ(f.created_stamp.status, 0);
    EXPECT_GT(f.created_stamp.days, 43831.0);  // the time of creation, after 2020
}

TEST(project_layout, LoadedValuesReplaceDefaults) {
    model::project_data p;
    p.dsp_mainfrm.banner_font.clear();
    p.act_info.allow_standard = 0;
    const model::project_data back = model::parse_project(model::as_bytes(model::serialize_project(p)));
    EXPECT_EQ(back.dsp_mainfrm.banner_font, "");
    EXPECT_EQ(back.act_info.allow_standard, 0);
}

TEST(project_layout, KindSetupTakesNoBytes) {
    model::project_data p;
    p.reserved_text = "R";
    p.app_name.app_name = "A";
    p.app_name.app_extra = "B";
    p.dsp_mainfrm.dsp_value = 0x11223344;
    const std::string stored = model::serialize_project(p);
    EXPECT_EQ(stored.substr(0, 10), text("R") + text("A") + text("B") + u32(0x11223344));
    const auto back = model::parse_project(model::as_bytes(stored));
    EXPECT_EQ(back.app_name.app_extra, "B");
    EXPECT_EQ(back.dsp_mainfrm.dsp_value, 0x11223344);
}

TEST(project_layout, ActInfoGroupsOfFields) {
    model::project_data p;
    p.act_info.act_value_23 = 23;
    p.act_info.notice_caption = "N";
    p.act_info.method_note_text = "M";
    p.act_info.act_value_40 = 40;
    p.act_info.dest_default_path = "D";
    p.act_info.dest_default_base = 3;
    p.act_info.act_text_18 = "E";
    p.act_info.unstored_value = 99;
    model::archive_writer out;
    p.act_info.write(out);
    const std::string expected = zeros32(22) + u32(23) + text("N") + std::string(14, '\0') + text("M") + u32(40) +
                                 zeros32(3) + u32(1) + text("D") + u32(3) + text("") + text("E");
    EXPECT_EQ(out.bytes(), expected);
}

TEST(file_set_layout, FileObjectStoresSizeBeforeNote) {
    const std::string stored = text("key") + text("src.exe") + stamp(0, std::bit_cast<std::uint64_t>(1.5)) +
                               stamp(2, std::bit_cast<std::uint64_t>(2.5)) + u32(1234) + text("note") +
                               text("sub\\src.exe") + text("[ROOT]\\x\\src.exe") + u16(2) + u16(0xFFFF);
    model::archive_reader in(model::as_bytes(stored));
    model::file_object f;
    f.read(in);
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(f.file_key, "key");
    EXPECT_EQ(f.source_name, "src.exe");
    EXPECT_EQ(f.created_stamp, (model::date_time{0, 1.5}));
    EXPECT_EQ(f.modified_stamp, (model::date_time{2, 2.5}));
    EXPECT_EQ(f.file_size, 1234);
    EXPECT_EQ(f.file_note, "note");
    EXPECT_EQ(f.sub_path, "sub\\src.exe");
    EXPECT_EQ(f.install_path, "[ROOT]\\x\\src.exe");
    EXPECT_EQ(f.overwrite_mode, 2);
    EXPECT_EQ(f.component_id, -1);
    model::archive_writer out;
    f.write(out);
    EXPECT_EQ(out.bytes(), stored);
}

TEST(file_set_layout, ShortcutEntryValueSecondCopyWins) {
    const std::string stored = u16(7) + text("link") + text("t.exe") + u32(111) + text("desc") + text("-a") + u32(2) +
                               text("i.ico") + u32(1) + text("w") + u32(3) + u32(222) + u16(0x0641);
    model::archive_reader in(model::as_bytes(stored));
    model::stmenu_file_object s;
    s.read(in);
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(s.entry_number, 7);
    EXPECT_EQ(s.link_name, "link");
    EXPECT_EQ(s.target_path, "t.exe");
    EXPECT_EQ(s.entry_value, 222);
    EXPECT_EQ(s.description, "desc");
    EXPECT_EQ(s.arguments, "-a");
    EXPECT_EQ(s.icon_index, 2);
    EXPECT_EQ(s.icon_path, "i.ico");
    EXPECT_EQ(s.work_folder_base, 1);
    EXPECT_EQ(s.work_folder, "w");
    EXPECT_EQ(s.show_command, 3);
    EXPECT_EQ(s.hot_key, 0x0641);
    // The writer repeats the value it holds.
    model::archive_writer out;
    s.write(out);
    EXPECT_EQ(out.bytes(), u16(7) + text("link") + text("t.exe") + u32(222) + text("desc") + text("-a") + u32(2) +
                               text("i.ico") + u32(1) + text("w") + u32(3) + u32(222) + u16(0x0641));
}

TEST(file_set_layout, ComponentSelectedIsZeroExtended) {
    const std::string stored = u16(0xFFFE) + text("Help") + u16(0xFFFF);
    model::archive_reader in(model::as_bytes(stored));
    model::compo_file_object c;
    c.read(in);
    EXPECT_EQ(c.component_id, -2);
    EXPECT_EQ(c.component_name, "Help");
    EXPECT_EQ(c.selected, 65535u);
    model::archive_writer out;
    c.write(out);
    EXPECT_EQ(out.bytes(), stored);
}

TEST(file_set_layout, FolderWithEmptyMapsIsTextsStampAndFourZeros) {
    model::folder_object d;
    d.folder_name = "App";
    d.folder_text = "x";
    d.folder_stamp = {1, 0.25};
    model::archive_writer out;
    d.write(out);
    EXPECT_EQ(out.bytes(), text("App") + text("x") + stamp(1, std::bit_cast<std::uint64_t>(0.25)) + u32(0));
}

TEST(file_set_layout, TreeFoldersStoreNumberBeforeName) {
    model::stmenu_folder_object s;
    s.folder_number = 5;
    s.folder_name = "Programs";
    model::compo_folder_object c;
    c.folder_number = 5;
    c.folder_name = "Programs";
    for (const model::record* r : {static_cast<const model::record*>(&s), static_cast<const model::record*>(&c)}) {
        model::archive_writer out;
        r->write(out);
        EXPECT_EQ(out.bytes(), u16(5) + text("Programs") + u32(0));
    }
}

TEST(file_set_layout, ReadMapsVisitLaterKeyOfABucketFirst) {
    // Component map with keys 0x0123 and 0x0124 (one bucket) in that stored order.
    const std::string compo_class = new_class("compo_file_object");
    std::string stored = fresh_project_bytes();
    stored.resize(stored.size() - 4);  // drop the empty component map and registry map
    stored += u16(2) + u16(0x0123) + compo_class + u16(0x0123) + text("A") + u16(1) + u16(0x0124) + u16(0x8001) +
              u16(0x0124) + text("B") + u16(0) + u16(0);
    const auto p = model::parse_project(model::as_bytes(stored));
    const auto entries = p.files.component_map.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].first, 0x0124);
    EXPECT_EQ(entries[1].first, 0x0123);
    EXPECT_EQ(entries[1].second->component_name, "A");
}

TEST(project_round_trip, GeneratedProjectReadsBackTheSame) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const model::project_data p = generated_project({seed, 30, 4, true});
        const std::string first = model::serialize_project(p);
        const model::project_data once = model::parse_project(model::as_bytes(first));
        // Reading turns each bucket round and writing keeps the order: twice gives the file back.
        const std::string flipped = model::serialize_project(once);
        ASSERT_EQ(flipped.size(), first.size());
        const model::project_data twice = model::parse_project(model::as_bytes(flipped));
        EXPECT_EQ(model::serialize_project(twice), first) << seed;

        // Shared objects are still shared after reading.
        for (const auto& [key, value] : once.files.component_tree.items.entries()) {
            EXPECT_EQ(once.files.component_map.find(key), value.get());
        }
        EXPECT_EQ(once.files.folders.find("shared-a"), once.files.folders.find("shared-b"));
    }
}

TEST(project_round_trip, LargeProjectUsesBigTags) {
    // 2000 files and 33000 fieldless objects in a spare map: the classes and objects read
    // after them have numbers above 0x7FFF, so the second object of such a class and the
    // back references of the component map take the big form.
    const model::project_data p = generated_project({7, 2000, 2, false, 33000});
    const std::string first = model::serialize_project(p);
    std::size_t big_class_tags = 0;
    std::size_t big_back_references = 0;
    for (std::size_t i = 0; i + 6 <= first.size(); ++i) {
        if (first.compare(i, 2, u16(0x7FFF)) != 0) continue;
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(first[i + 2 + static_cast<std::size_t>(k)]);
        if (v >= 0x80007FFFu) ++big_class_tags;
        if (v >= 0x7FFFu && v < 0x80000000u) ++big_back_references;
    }
    EXPECT_GE(big_class_tags, 3u);       // exec_check_file, stmenu_file_object, compo_file_object
    EXPECT_GE(big_back_references, 6u);  // the component map
    const model::project_data once = model::parse_project(model::as_bytes(first));
    EXPECT_EQ(once.files.files.size(), 2001u);
    EXPECT_EQ(once.files.spare_map_2.size(), 33002u);
    for (const auto& [key, value] : once.files.component_tree.items.entries()) {
        EXPECT_EQ(once.files.component_map.find(key), value.get());
    }
    const model::project_data twice = model::parse_project(model::as_bytes(model::serialize_project(once)));
    EXPECT_EQ(model::serialize_project(twice), first);
}

TEST(project_hostile, EveryTruncationFailsCleanly) {
    const std::string stored = model::serialize_project(generated_project({11, 6, 2, true}));
    for (std::size_t n = 0; n < stored.size(); ++n) {
        EXPECT_THROW(model::parse_project(model::as_bytes(std::string_view(stored).substr(0, n))), model::format_error)
            << n;
    }
    EXPECT_NO_THROW(model::parse_project(model::as_bytes(stored)));
}

TEST(project_hostile, DamagedBytesFailOrReadButNeverCrash) {
    const std::string stored = model::serialize_project(generated_project({12, 6, 2, true}));
    std::mt19937 random(12);
    std::uniform_int_distribution<std::size_t> where(0, stored.size() - 1);
    std::uniform_int_distribution<int> what(0, 255);
    int failed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = stored;
        for (int k = 0; k < 1 + round % 4; ++k) damaged[where(random)] = static_cast<char>(what(random));
        try {
            const auto p = model::parse_project(model::as_bytes(damaged));
            // What reads must write and read again.
            model::parse_project(model::as_bytes(model::serialize_project(p)));
        } catch (const model::format_error&) {
            ++failed;
        }
    }
    EXPECT_GT(failed, 0);
}

}  // namespace

namespace {

TEST(project_fixture, SampleProjectReads) {
    std::ifstream in(VRZ_TEST_DATA "/model/sample_project.vrz", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto p = model::parse_project(model::as_bytes(stored));
    EXPECT_EQ(p.app_name.app_name, "サンプル");
    EXPECT_EQ(p.act_info.allow_standard, 1);
    EXPECT_EQ(p.hi_level_info.run_program, "[PROGRAM FILES]\\Sample\\sample.exe");
    const model::folder_object* folder = p.files.folders.find("Sample");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->files.find("sample.exe")->file_size, 4096);
    EXPECT_TRUE(p.files.files.contains("gone.txt"));
    EXPECT_EQ(p.files.files.find("gone.txt"), nullptr);
    EXPECT_EQ(p.files.files.find("readme.txt")->install_path, "[WINDOWS]\\\x80readme.txt");
    EXPECT_EQ(p.files.component_map.find(1), p.files.component_tree.items.find(1));
    EXPECT_EQ(p.files.component_map.find(0x11)->selected, 0xFFFFu);
    EXPECT_EQ(p.files.registry_entries.find("path"), static_cast<model::registry_info*>(p.files.spare_map_1.find(5)));
    EXPECT_EQ(p.files.start_menu.child_folders.find(1)->shortcuts.find(1)->entry_value, 3);
}

}  // namespace
