// Files and folders in the sandbox: operations, their Windows error codes, attributes and times.

#include <ctime>
#include <functional>

#include "sandbox_fixture.hpp"

namespace platform::testing {
namespace {

/// The sandbox every error case starts from.
class host_files : public sandbox_test {
protected:
    void SetUp() override {
        sandbox_test::SetUp();
        write_host(host(u8"C/dir/a.txt"), "aaa");
        write_host(host(u8"C/dir/ro.txt"), "read-only");
        write_host(host(u8"C/dir/hidden.txt"), "hidden");
        write_host(host(u8"C/dir/sub/inner.txt"), "inner");
        fs::create_directories(host(u8"C/empty"));
        fs::create_directories(host(u8"C/rodir"));
        host_system& sys = open();
        ASSERT_EQ(sys.set_attributes("C:\\dir\\ro.txt", ReadOnly | Archive), file_error::None);
        ASSERT_EQ(sys.set_attributes("C:\\dir\\hidden.txt", Hidden), file_error::None);
        ASSERT_EQ(sys.set_attributes("C:\\rodir", ReadOnly), file_error::None);
    }
};

struct error_case {
    const char* title;
    std::function<file_error(host_system&)> operation;
    file_error expected;
    friend void PrintTo(const error_case& c, std::ostream* os) { *os << c.title; }
};

class host_file_errors : public host_files, public ::testing::WithParamInterface<error_case> {};

TEST_P(host_file_errors, reports_the_windows_error) {
    EXPECT_EQ(GetParam().operation(*sys_), GetParam().expected);
}

file_error create(host_system& sys, const std::string& path) {
    file_error e = file_error::Other;
    auto out = sys.create_file(path, &e);
    EXPECT_EQ(out == nullptr, e != file_error::None);
    return e;
}

const error_case error_cases[] = {
    {"delete_file", [](host_system& s) { return s.delete_file("C:\\DIR\\A.TXT"); }, file_error::None},
    {"delete_missing", [](host_system& s) { return s.delete_file("C:\\dir\\none.txt"); },
     file_error::NotFound},
    {"delete_in_missing_folder", [](host_system& s) { return s.delete_file("C:\\none\\a.txt"); },
     file_error::PathNotFound},
    {"delete_folder", [](host_system& s) { return s.delete_file("C:\\dir\\sub"); }, file_error::AccessDenied},
    {"delete_read_only", [](host_system& s) { return s.delete_file("C:\\dir\\ro.txt"); },
     file_error::AccessDenied},
    {"delete_hidden", [](host_system& s) { return s.delete_file("C:\\dir\\hidden.txt"); }, file_error::None},
    {"copy", [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\empty\\b.txt", false); },
     file_error::None},
    {"copy_replacing",
     [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\dir\\sub\\inner.txt", true); },
     file_error::None},
    {"copy_onto_existing",
     [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\dir\\sub\\inner.txt", false); },
     file_error::AccessDenied},
    {"copy_onto_read_only",
     [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\dir\\ro.txt", true); },
     file_error::AccessDenied},
    {"copy_onto_hidden",
     [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\dir\\hidden.txt", true); },
     file_error::AccessDenied},
    {"copy_onto_folder", [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\dir\\sub", true); },
     file_error::AccessDenied},
    {"copy_onto_itself", [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "c:\\DIR\\a.TXT", true); },
     file_error::SharingViolation},
    {"copy_missing", [](host_system& s) { return s.copy_file("C:\\dir\\none", "C:\\dir\\b", true); },
     file_error::NotFound},
    {"copy_folder", [](host_system& s) { return s.copy_file("C:\\dir\\sub", "C:\\dir\\b", true); },
     file_error::AccessDenied},
    {"copy_to_missing_folder",
     [](host_system& s) { return s.copy_file("C:\\dir\\a.txt", "C:\\no\\b", true); },
     file_error::PathNotFound},
    {"mkdir", [](host_system& s) { return s.create_directory("C:\\dir\\new"); }, file_error::None},
    {"mkdir_existing", [](host_system& s) { return s.create_directory("C:\\DIR\\SUB"); }, file_error::None},
    {"mkdir_over_file", [](host_system& s) { return s.create_directory("C:\\dir\\a.txt"); },
     file_error::AccessDenied},
    {"mkdir_in_missing_folder", [](host_system& s) { return s.create_directory("C:\\no\\new"); },
     file_error::PathNotFound},
    {"rmdir", [](host_system& s) { return s.remove_directory("C:\\EMPTY"); }, file_error::None},
    {"rmdir_not_empty", [](host_system& s) { return s.remove_directory("C:\\dir"); },
     file_error::AccessDenied},
    {"rmdir_missing", [](host_system& s) { return s.remove_directory("C:\\none"); }, file_error::NotFound},
    {"rmdir_file", [](host_system& s) { return s.remove_directory("C:\\dir\\a.txt"); },
     file_error::PathNotFound},
    {"rmdir_read_only", [](host_system& s) { return s.remove_directory("C:\\rodir"); },
     file_error::AccessDenied},
    {"rmdir_drive_root", [](host_system& s) { return s.remove_directory("C:\\"); }, file_error::AccessDenied},
    {"rmdir_current",
     [](host_system& s) {
         s.set_current_directory("C:\\empty");
         return s.remove_directory("C:\\empty");
     },
     file_error::SharingViolation},
    {"create", [](host_system& s) { return create(s, "C:\\dir\\new.txt"); }, file_error::None},
    {"create_over_hidden", [](host_system& s) { return create(s, "C:\\dir\\hidden.txt"); },
     file_error::AccessDenied},
    {"create_over_read_only", [](host_system& s) { return create(s, "C:\\dir\\ro.txt"); },
     file_error::AccessDenied},
    {"create_over_folder", [](host_system& s) { return create(s, "C:\\dir\\sub"); },
     file_error::AccessDenied},
    {"create_in_missing_folder", [](host_system& s) { return create(s, "C:\\no\\x.txt"); },
     file_error::PathNotFound},
    {"attributes_missing", [](host_system& s) { return s.set_attributes("C:\\dir\\none", 0); },
     file_error::NotFound},
    {"times_missing", [](host_system& s) { return s.set_file_times("C:\\no\\x", {}, {}); },
     file_error::PathNotFound},
    {"times_invalid_date",
     [](host_system& s) {
         return s.set_file_times("C:\\dir\\a.txt", {}, civil_time{1999, 2, 29, 0, 0, 0});
     },
     file_error::Other},
};

INSTANTIATE_TEST_SUITE_P(table, host_file_errors, ::testing::ValuesIn(error_cases),
                         [](const auto& info) { return std::string(info.param.title); });

TEST_F(host_files, failed_operations_leave_the_files_alone) {
    host_system& sys = *sys_;
    EXPECT_NE(sys.delete_file("C:\\dir\\ro.txt"), file_error::None);
    EXPECT_NE(sys.copy_file("C:\\dir\\a.txt", "C:\\dir\\ro.txt", true), file_error::None);
    EXPECT_NE(sys.copy_file("C:\\dir\\a.txt", "C:\\DIR\\A.txt", true), file_error::None);
    EXPECT_EQ(read_host(host(u8"C/dir/ro.txt")), "read-only");
    EXPECT_EQ(read_host(host(u8"C/dir/a.txt")), "aaa");
}

TEST_F(host_files, written_files_map_back) {
    host_system& sys = *sys_;
    file_error e = file_error::Other;
    auto out = sys.create_file("C:\\dir\\new.bin", &e);
    ASSERT_TRUE(out);
    EXPECT_EQ(e, file_error::None);
    const std::byte data[] = {std::byte{0}, std::byte{0xFF}, std::byte{'x'}};
    EXPECT_TRUE(out->write(data));
    EXPECT_TRUE(out->write(data));
    EXPECT_TRUE(out->close());
    auto map = sys.map_file("c:\\dir\\NEW.BIN");
    ASSERT_TRUE(map);
    ASSERT_EQ(map->bytes().size(), 6u);
    EXPECT_EQ(map->bytes()[4], std::byte{0xFF});
    EXPECT_EQ(sys.status("C:\\dir\\new.bin")->size, 6u);

    auto empty = sys.create_file("C:\\dir\\empty.bin");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->close());
    auto empty_map = sys.map_file("C:\\dir\\empty.bin");
    ASSERT_TRUE(empty_map);
    EXPECT_TRUE(empty_map->bytes().empty());

    EXPECT_FALSE(sys.map_file("C:\\dir\\none.bin"));
    EXPECT_FALSE(sys.map_file("C:\\dir\\sub"));
}

TEST_F(host_files, attributes_round_trip_and_persist) {
    host_system& sys = *sys_;
    EXPECT_EQ(sys.status("C:\\dir\\a.txt")->attributes, static_cast<std::uint32_t>(Archive));
    EXPECT_EQ(sys.status("C:\\dir\\sub")->attributes, static_cast<std::uint32_t>(Directory));
    EXPECT_EQ(sys.status("C:\\dir\\ro.txt")->attributes, static_cast<std::uint32_t>(ReadOnly | Archive));
    EXPECT_EQ(sys.status("C:\\rodir")->attributes, static_cast<std::uint32_t>(Directory | ReadOnly));
    ASSERT_EQ(sys.set_attributes("C:\\dir\\a.txt", ReadOnly | Hidden | System | Archive), file_error::None);
    ASSERT_EQ(sys.set_attributes("C:\\dir\\sub\\inner.txt", 0), file_error::None);

    host_system& again = open();
    EXPECT_EQ(again.status("c:\\dir\\A.txt")->attributes,
              static_cast<std::uint32_t>(ReadOnly | Hidden | System | Archive));
    EXPECT_EQ(again.status("C:\\dir\\sub\\inner.txt")->attributes, static_cast<std::uint32_t>(Normal));
    EXPECT_EQ(again.delete_file("C:\\dir\\a.txt"), file_error::AccessDenied);
    ASSERT_EQ(again.set_attributes("C:\\dir\\a.txt", Normal), file_error::None);
    EXPECT_EQ(again.delete_file("C:\\dir\\a.txt"), file_error::None);
}

TEST_F(host_files, a_new_file_of_an_old_name_has_fresh_attributes) {
    host_system& sys = *sys_;
    ASSERT_EQ(sys.set_attributes("C:\\dir\\ro.txt", Hidden | System), file_error::None);
    ASSERT_EQ(sys.set_attributes("C:\\dir\\ro.txt", Normal), file_error::None);
    ASSERT_EQ(sys.set_file_times("C:\\dir\\ro.txt", civil_time{1990, 1, 1, 0, 0, 0},
                                 civil_time{1991, 1, 1, 0, 0, 0}),
              file_error::None);
    ASSERT_EQ(sys.delete_file("C:\\dir\\ro.txt"), file_error::None);
    ASSERT_TRUE(sys.create_file("C:\\dir\\ro.txt"));
    auto s = sys.status("C:\\dir\\ro.txt");
    EXPECT_EQ(s->attributes, static_cast<std::uint32_t>(Archive));
    EXPECT_NE(s->created.year, 1990);
    // Removing a folder forgets what was recorded below it.
    ASSERT_EQ(sys.set_attributes("C:\\dir\\sub\\inner.txt", Hidden), file_error::None);
    ASSERT_EQ(sys.set_attributes("C:\\dir\\sub\\inner.txt", Normal), file_error::None);
    ASSERT_EQ(sys.delete_file("C:\\dir\\sub\\inner.txt"), file_error::None);
    ASSERT_EQ(sys.set_attributes("C:\\dir\\sub", Hidden), file_error::None);
    ASSERT_EQ(sys.remove_directory("C:\\dir\\sub"), file_error::None);
    ASSERT_EQ(sys.create_directory("C:\\dir\\sub"), file_error::None);
    EXPECT_EQ(sys.status("C:\\dir\\sub")->attributes, static_cast<std::uint32_t>(Directory));
}

TEST_F(host_files, times_round_trip_in_local_time) {
    host_system& sys = *sys_;
    const civil_time created{1999, 1, 15, 10, 20, 30};
    const civil_time written{1998, 12, 31, 23, 59, 58};
    ASSERT_EQ(sys.set_file_times("C:\\dir\\a.txt", created, written), file_error::None);
    auto s = sys.status("C:\\dir\\a.txt");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->created, created);
    EXPECT_EQ(s->last_write, written);

    // The host's modification time is the same instant in the host's time zone.
    std::tm tm{};
    tm.tm_year = 98;
    tm.tm_mon = 11;
    tm.tm_mday = 31;
    tm.tm_hour = 23;
    tm.tm_min = 59;
    tm.tm_sec = 58;
    tm.tm_isdst = -1;
    auto expected = std::chrono::system_clock::from_time_t(std::mktime(&tm));
    auto actual = std::chrono::file_clock::to_sys(fs::last_write_time(host(u8"C/dir/a.txt")));
    EXPECT_EQ(std::chrono::floor<std::chrono::seconds>(actual),
              std::chrono::floor<std::chrono::seconds>(expected));

    host_system& again = open();
    EXPECT_EQ(again.status("C:\\dir\\a.txt")->created, created);
    // Folders carry times too; a file without a recorded creation time reports its last write.
    ASSERT_EQ(again.set_file_times("C:\\dir\\sub", created, written), file_error::None);
    EXPECT_EQ(again.status("C:\\dir\\sub")->last_write, written);
    EXPECT_EQ(again.status("C:\\dir\\hidden.txt")->created, again.status("C:\\dir\\hidden.txt")->last_write);
}

TEST_F(host_files, a_copy_keeps_time_and_attributes_and_is_marked_for_archiving) {
    host_system& sys = *sys_;
    const civil_time stamp{2001, 6, 30, 12, 0, 0};
    ASSERT_EQ(sys.set_file_times("C:\\dir\\ro.txt", stamp, stamp), file_error::None);
    ASSERT_EQ(sys.set_attributes("C:\\dir\\ro.txt", ReadOnly), file_error::None);
    ASSERT_EQ(sys.copy_file("C:\\dir\\ro.txt", "C:\\empty\\copy.txt", false), file_error::None);
    auto s = sys.status("C:\\empty\\copy.txt");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->attributes, static_cast<std::uint32_t>(ReadOnly | Archive));
    EXPECT_EQ(s->last_write, stamp);
    EXPECT_EQ(read_host(host(u8"C/empty/copy.txt")), "read-only");
}

TEST_F(host_files, listing_gives_code_page_932_names_in_order) {
    write_host(host(u8"C/list/b.txt"), "");
    write_host(host(u8"C/list/表示.txt"), "");
    write_host(host(u8"C/list/A.txt"), "");
    fs::create_directories(host(u8"C/list/Sub"));
    host_system& sys = open();
    EXPECT_EQ(sys.list_directory("C:\\LIST"),
              (std::vector<std::string>{"A.txt", "b.txt", "Sub", "表示.txt"}));
    EXPECT_TRUE(sys.list_directory("C:\\list\\b.txt").empty());
    EXPECT_TRUE(sys.list_directory("C:\\none").empty());
}

TEST_F(host_files, start_process_records_existing_programs_only) {
    host_system& sys = *sys_;
    EXPECT_TRUE(sys.start_process("c:\\DIR\\a.txt"));
    EXPECT_FALSE(sys.start_process("C:\\dir\\none.exe"));
    EXPECT_FALSE(sys.start_process("C:\\dir"));
    EXPECT_EQ(sys.started_processes(), std::vector<std::string>{"C:\\dir\\a.txt"});
}

}  // namespace
}  // namespace platform::testing
