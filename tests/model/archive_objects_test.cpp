#include <gtest/gtest.h>

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"
#include "model/file_set_records.hpp"
#include "tests/model/test_bytes.hpp"

namespace {

using namespace test_support;

std::shared_ptr<model::registry_info> reg(const std::string& key_path) {
    auto r = std::make_shared<model::registry_info>();
    r->key_path = key_path;
    return r;
}

const std::string registry_class = new_class("registry_info");

TEST(archive_objects, ClassIsNamedOnceThenNumbered) {
    model::word_map<model::registry_info> map;
    map.insert_or_assign(0x10, reg("b"));  // bucket 1
    map.insert_or_assign(0x00, reg("a"));  // bucket 0
    model::archive_writer out;
    out.write_map(map);
    // Class 1, object 2; the second object names class 1 as 0x8001 and takes number 3.
    EXPECT_EQ(out.bytes(), u16(2) + u16(0x00) + registry_class + text("a") + text("") + u16(0x10) + u16(0x8001) +
                               text("b") + text(""));
}

TEST(archive_objects, SecondWriteIsABackReferenceAndReadsAsTheSameObject) {
    auto shared = reg("same");
    model::word_map<model::registry_info> map;
    map.insert_or_assign(0x10, shared);
    map.insert_or_assign(0x00, shared);
    map.insert_or_assign(0x20, nullptr);
    model::archive_writer out;
    out.write_map(map);
    const std::string expected = u16(3) + u16(0x00) + registry_class + text("same") + text("") + u16(0x10) +
                                 u16(2) + u16(0x20) + u16(0);
    ASSERT_EQ(out.bytes(), expected);

    model::archive_reader in(model::as_bytes(expected));
    model::word_map<model::registry_info> back;
    in.read_map(back);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back.find(0x00), back.find(0x10));
    EXPECT_EQ(back.find(0x00)->key_path, "same");
    EXPECT_TRUE(back.contains(0x20));
    EXPECT_EQ(back.find(0x20), nullptr);
}

TEST(archive_objects, ReaderAcceptsBigTagForms) {
    const std::string stored = u16(4) + u16(0) + registry_class + text("a") + text("") +  // class 1, object 2
                               u16(1) + u16(0x7FFF) + u32(0x80000001) + text("b") + text("") +  // object 3
                               u16(2) + u16(0x7FFF) + u32(3) +                                  // back to 3
                               u16(3) + u16(0x7FFF) + u32(0);                                    // null
    model::archive_reader in(model::as_bytes(stored));
    model::word_map<model::registry_info> map;
    in.read_map(map);
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(map.find(0)->key_path, "a");
    EXPECT_EQ(map.find(1)->key_path, "b");
    EXPECT_EQ(map.find(2), map.find(1));
    EXPECT_TRUE(map.contains(3));
    EXPECT_EQ(map.find(3), nullptr);
}

TEST(archive_objects, WriterSwitchesToBigTagsAtNumber0x7FFF) {
    // Class 1 and objects 2 to n + 1: a second pass writes back references to them all.
    const std::uint32_t n = 0x7FFF;
    model::archive_writer out;
    std::vector<std::shared_ptr<model::registry_info>> objects;
    for (std::uint32_t i = 0; i < n; ++i) {
        objects.push_back(reg(""));
        out.write_object(objects.back().get());
    }
    const std::size_t first_pass = out.bytes().size();
    // The class tag names class 1 whatever the object's own number: always plain.
    EXPECT_EQ(out.bytes().substr(first_pass - 4), u16(0x8001) + text("") + text(""));
    out.write_object(objects[0x7FFC].get());  // number 0x7FFE
    out.write_object(objects[0x7FFD].get());  // number 0x7FFF
    EXPECT_EQ(out.bytes().substr(first_pass), u16(0x7FFE) + u16(0x7FFF) + u32(0x7FFF));

    // A class that first appears after 0x7FFF numbers are taken is named by the new-class
    // tag; its second object uses the big class tag.
    auto a = std::make_shared<model::exec_check_file>();
    auto b = std::make_shared<model::exec_check_file>();
    const std::size_t before = out.bytes().size();
    out.write_object(a.get());
    out.write_object(b.get());
    const std::string empty4 = text("") + text("") + text("") + text("");
    EXPECT_EQ(out.bytes().substr(before),
              new_class("exec_check_file") + empty4 + u16(0x7FFF) + u32(0x80000000u | (n + 2)) + empty4);

    model::archive_reader in(model::as_bytes(out.bytes()));
    std::shared_ptr<model::record> last;
    for (std::uint32_t i = 0; i < n + 3; ++i) last = in.read_object();
    EXPECT_EQ(last->class_name(), "exec_check_file");
    EXPECT_EQ(in.read_object()->class_name(), "exec_check_file");
    EXPECT_EQ(in.remaining(), 0u);
}

struct malformed_case {
    const char* name;
    std::string stored;  // a spare map: count, then word keys and references
};

class malformed_reference : public ::testing::TestWithParam<malformed_case> {};

TEST_P(malformed_reference, FailsWithFormatError) {
    model::archive_reader in(model::as_bytes(GetParam().stored));
    model::word_map<model::record> map;
    EXPECT_THROW(in.read_map(map), model::format_error);
}

const std::string one_registry = u16(0) + registry_class + text("a") + text("");

INSTANTIATE_TEST_SUITE_P(
    Cases, malformed_reference,
    ::testing::Values(
        malformed_case{"UnknownClass", u16(1) + u16(0) + new_class("registry_infx") + text("a") + text("")},
        malformed_case{"SchemaMismatch",
                       u16(1) + u16(0) + u16(0xFFFF) + u16(1) + u16(13) + "registry_info" + text("a") + text("")},
        malformed_case{"NameTooLong", u16(1) + u16(0) + new_class(std::string(64, 'x')) + std::string(8, '\0')},
        malformed_case{"BackReferenceNotRead", u16(1) + u16(0) + u16(5)},
        malformed_case{"BackReferenceToAClass", u16(2) + one_registry + u16(1) + u16(1)},
        malformed_case{"ClassTagNamingAnObject", u16(2) + one_registry + u16(1) + u16(0x8002) + text("b") + text("")},
        malformed_case{"ClassNumberZero", u16(1) + u16(0) + u16(0x8000) + text("a") + text("")},
        malformed_case{"ClassNumberNotRead", u16(2) + one_registry + u16(1) + u16(0x8009) + text("b") + text("")},
        malformed_case{"BigClassNumberNotRead", u16(2) + one_registry + u16(1) + u16(0x7FFF) + u32(0x80000005)},
        malformed_case{"BigBackReferenceNotRead", u16(2) + one_registry + u16(1) + u16(0x7FFF) + u32(0x7FFFFFFF)},
        malformed_case{"CountLargerThanData", u16(0xFFFF) + u32(0xFFFFFFFF) + one_registry},
        malformed_case{"CountOneTooMany", u16(2) + one_registry},
        malformed_case{"TruncatedInClassName", u16(1) + u16(0) + u16(0xFFFF) + u16(0) + u16(13) + "regis"},
        malformed_case{"TruncatedInFields", u16(1) + u16(0) + registry_class + text("a")},
        malformed_case{"TruncatedTag", u16(1) + u16(0) + bytes({0xFF})}),
    [](const auto& info) { return info.param.name; });

TEST(archive_objects, ObjectOfAnotherClassInATypedMapIsMalformed) {
    // A registry_info where a file_object belongs, as a new object and as a back reference.
    const std::string as_new = u16(1) + text("k") + registry_class + text("a") + text("");
    const std::string as_back_reference = u16(1) + u16(0) + registry_class + text("a") + text("") +  // spare map
                                          u16(1) + text("k") + u16(2);                                // files map
    {
        model::archive_reader in(model::as_bytes(as_new));
        model::text_map<model::file_object> files;
        EXPECT_THROW(in.read_map(files), model::format_error);
    }
    {
        model::archive_reader in(model::as_bytes(as_back_reference));
        model::word_map<model::record> spare;
        in.read_map(spare);
        model::text_map<model::file_object> files;
        EXPECT_THROW(in.read_map(files), model::format_error);
    }
}

TEST(archive_objects, ReferenceToAnObjectStillBeingReadIsMalformed) {
    // A folder (object 2) whose subfolders hold a back reference to itself: a cycle.
    const std::string stored = u16(1) + text("top") + new_class("folder_object") + text("f") + text("") +
                               stamp(0, 0) + u16(1) + text("self") + u16(2) + u16(0);
    model::archive_reader in(model::as_bytes(stored));
    model::text_map<model::folder_object> folders;
    EXPECT_THROW(in.read_map(folders), model::format_error);
}

/// A chain of folders depth levels deep under one key.
std::shared_ptr<model::folder_object> folder_chain(int depth) {
    auto top = std::make_shared<model::folder_object>();
    auto current = top;
    for (int level = 1; level < depth; ++level) {
        auto child = std::make_shared<model::folder_object>();
        current->subfolders.insert_or_assign("sub", child);
        current = child;
    }
    return top;
}

bool reads(const std::string& stored) {
    model::archive_reader in(model::as_bytes(stored));
    model::text_map<model::folder_object> folders;
    try {
        in.read_map(folders);
        return true;
    } catch (const model::format_error&) {
        return false;
    }
}

TEST(archive_limits, FoldersNestAtMost64Levels) {
    for (int depth : {63, 64, 65, 2000}) {
        model::text_map<model::folder_object> folders;
        folders.insert_or_assign("top", folder_chain(depth));
        model::archive_writer out;
        out.write_map(folders);
        EXPECT_EQ(reads(out.bytes()), depth <= 64) << depth;
    }
}

TEST(archive_limits, BackReferencesCountTheDepthOfWhatTheyReach) {
    // A 40-level chain, then a 30-level chain whose bottom folder refers back to the
    // first: a walk would go 70 levels deep.
    for (auto [first, second, ok] : {std::tuple{40, 30, false}, std::tuple{34, 30, true}}) {
        auto a = folder_chain(first);
        auto b = folder_chain(second);
        auto bottom = b;
        while (!bottom->subfolders.empty()) bottom = bottom->subfolders.entries().front().second;
        bottom->subfolders.insert_or_assign("again", a);
        model::text_map<model::folder_object> folders;
        folders.insert_or_assign("a", a);  // bucket of "a" (12) comes before "b" (13)
        folders.insert_or_assign("b", b);
        model::archive_writer out;
        out.write_map(folders);
        EXPECT_EQ(reads(out.bytes()), ok) << first << "+" << second;
    }
}

TEST(archive_limits, SharedSubtreesMayNotExpandBeyondTheBound) {
    // Each level holds the level below twice: 2^levels folders for a recursive walk.
    for (auto [levels, ok] : {std::pair{15, true}, std::pair{24, false}}) {
        auto current = std::make_shared<model::folder_object>();
        for (int i = 1; i < levels; ++i) {
            auto up = std::make_shared<model::folder_object>();
            up->subfolders.insert_or_assign("x", current);
            up->subfolders.insert_or_assign("y", current);
            current = up;
        }
        model::text_map<model::folder_object> folders;
        folders.insert_or_assign("top", current);
        model::archive_writer out;
        out.write_map(folders);
        EXPECT_LT(out.bytes().size(), 2000u);  // small file, shared in place of copied
        EXPECT_EQ(reads(out.bytes()), ok) << levels;
    }
}

TEST(archive_registry, KnowsEveryRecordClass) {
    for (const char* name : {"proj_app_name", "proj_act_info", "proj_hi_level_info", "proj_kind_setup",
                             "proj_dsp_mainfrm", "registry_info", "exec_check_file", "setup_files", "folder_object",
                             "file_object", "component_files", "compo_folder_object", "compo_file_object",
                             "startup_menu_files", "stmenu_folder_object", "stmenu_file_object", "comp_file_object"}) {
        auto r = model::create_record(name);
        ASSERT_NE(r, nullptr) << name;
        EXPECT_EQ(r->class_name(), name);
    }
    EXPECT_EQ(model::create_record("project_data"), nullptr);
    EXPECT_EQ(model::create_record("Folder_object"), nullptr);
}

}  // namespace
