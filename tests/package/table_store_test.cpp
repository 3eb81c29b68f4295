#include "package/table_store.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "package/memory_file.hpp"
#include "package/table_file_writer.hpp"
#include "package/table_record.hpp"
#include "tests/package/package_memory_system.hpp"

namespace {

using package::table_entry;
using package::table_file_writer;
using package::table_handle;
using package::table_store;

std::string make_table(const std::vector<std::pair<std::string, std::string>>& entries) {
    table_file_writer writer;
    for (const auto& [name, data] : entries) {
        table_entry e;
        e.entry_name = name;
        e.data = data;
        writer.add(std::move(e));
    }
    return writer.bytes();
}

bool init_bytes(table_store& store, std::string bytes, std::int32_t slots = 4) {
    return store.init(std::make_unique<package::memory_file>(std::move(bytes)), slots);
}

std::string read_fixture(const std::string& name) {
    std::ifstream in(std::string(VRZ_TEST_DATA) + "/package/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), {}};
}

class table_store_test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(init_bytes(store, make_table({{"001", "abc"}, {"002", ""}, {"Beta", "0123456789"},
                                                  {"alpha", "xyz"}})));
        store.set_trace([this](std::string_view text) { traces.emplace_back(text); });
    }
    table_store store;
    std::vector<std::string> traces;
};

TEST_F(table_store_test, finds_names_without_regard_to_letter_case) {
    for (const char* name : {"alpha", "ALPHA", "Alpha", "beta", "BETA", "001"}) {
        table_handle h = store.open(name);
        ASSERT_NE(h, nullptr) << name;
        EXPECT_TRUE(store.close(h));
    }
    EXPECT_EQ(store.open("gamma"), nullptr);
    EXPECT_EQ(store.open("alph"), nullptr);
    EXPECT_EQ(store.open("alphas"), nullptr);
    EXPECT_EQ(traces.back(), "open: Table \"alphas\" not found\n");
    EXPECT_EQ(store.open(""), nullptr);
    EXPECT_EQ(traces.back(), "open: invalid name\n");
}

TEST_F(table_store_test, reads_each_entry_and_its_size) {
    table_handle h = store.open("beta");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->size, 10);
    char buffer[10];
    ASSERT_TRUE(store.read(h, buffer, 4));
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(store.tell(h), 4);

    table_handle empty = store.open("002");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size, 0);
    EXPECT_TRUE(store.read(empty, buffer, 0));
    EXPECT_FALSE(store.read(empty, buffer, 1));
}

TEST_F(table_store_test, seek_to_the_size_from_the_start_fails_and_from_the_end_puts_past_the_last_byte) {
    table_handle h = store.open("beta");
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(store.seek(h, 3, 0));
    EXPECT_FALSE(store.seek(h, 10, 0));
    EXPECT_EQ(traces.back(), "seek: Invalid offset\n");
    EXPECT_EQ(store.tell(h), 3);
    ASSERT_TRUE(store.seek(h, 9, 0));
    EXPECT_EQ(store.tell(h), 9);

    ASSERT_TRUE(store.seek(h, 0, 2));
    EXPECT_EQ(store.tell(h), 10);
    char c;
    EXPECT_FALSE(store.read(h, &c, 1));
    ASSERT_TRUE(store.seek(h, 10 - 1, 2));
    EXPECT_EQ(store.tell(h), 1);
    EXPECT_FALSE(store.seek(h, 10, 2));
    EXPECT_FALSE(store.seek(h, -1, 2));
    EXPECT_FALSE(store.seek(h, -1, 0));
}

TEST_F(table_store_test, seek_from_the_position_stays_inside_the_entry) {
    table_handle h = store.open("beta");
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(store.seek(h, 5, 1));
    EXPECT_EQ(store.tell(h), 5);
    ASSERT_TRUE(store.seek(h, -5, 1));
    EXPECT_EQ(store.tell(h), 0);
    EXPECT_FALSE(store.seek(h, -1, 1));
    EXPECT_FALSE(store.seek(h, 10, 1));
    ASSERT_TRUE(store.seek(h, 9, 1));
    char c;
    ASSERT_TRUE(store.read(h, &c, 1));
    EXPECT_EQ(c, '9');
    EXPECT_EQ(store.tell(h), 10);
    EXPECT_FALSE(store.seek(h, 0, 1)) << "the end itself is not a position seek 1 can reach";
    EXPECT_FALSE(store.seek(h, 0, 3));
    EXPECT_EQ(traces.back(), "seek: Invalid 'how' field\n");
    EXPECT_EQ(store.tell(h), 10);
}

TEST_F(table_store_test, a_read_of_the_exact_remainder_succeeds_and_one_more_keeps_the_position) {
    table_handle h = store.open("beta");
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(store.seek(h, 6, 0));
    char buffer[8] = {};
    EXPECT_FALSE(store.read(h, buffer, 5));
    EXPECT_EQ(traces.back(), "read: read past end of file\n");
    EXPECT_EQ(store.tell(h), 6);
    ASSERT_TRUE(store.read(h, buffer, 4));
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(store.tell(h), 10);
    EXPECT_FALSE(store.read(h, buffer, -1));
    EXPECT_EQ(traces.back(), "read: invalid size\n");
}

TEST_F(table_store_test, reads_never_cross_into_the_next_entry) {
    // "alpha" is stored right before "beta": its last byte is followed by beta's first.
    table_handle h = store.open("alpha");
    ASSERT_NE(h, nullptr);
    char buffer[4];
    EXPECT_FALSE(store.read(h, buffer, 4));
    ASSERT_TRUE(store.read(h, buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "xyz");
}

TEST_F(table_store_test, all_slots_in_use_refuse_open_until_one_is_closed) {
    std::vector<table_handle> handles;
    for (int i = 0; i < 4; ++i) {
        handles.push_back(store.open("beta"));
        ASSERT_NE(handles.back(), nullptr);
    }
    EXPECT_EQ(store.open("alpha"), nullptr);
    EXPECT_EQ(traces.back(), "open: Out of file handles\n");
    ASSERT_TRUE(store.close(handles[2]));
    table_handle again = store.open("alpha");
    EXPECT_EQ(again, handles[2]) << "the first free slot in slot order is taken";
    EXPECT_EQ(again->size, 3);
}

TEST_F(table_store_test, handles_are_independent) {
    table_handle a = store.open("beta");
    table_handle b = store.open("beta");
    ASSERT_TRUE(store.seek(a, 7, 0));
    EXPECT_EQ(store.tell(b), 0);
    EXPECT_EQ(store.tell(a), 7);
}

TEST_F(table_store_test, invalid_handles_are_refused_everywhere) {
    table_handle h = store.open("beta");
    ASSERT_TRUE(store.close(h));
    char c;
    EXPECT_FALSE(store.close(h));
    EXPECT_EQ(traces.back(), "close: invalid handle\n");
    EXPECT_FALSE(store.close(nullptr));
    EXPECT_FALSE(store.read(h, &c, 1));
    EXPECT_EQ(traces.back(), "read: invalid handle\n");
    EXPECT_FALSE(store.seek(h, 0, 0));
    EXPECT_EQ(traces.back(), "seek: invalid handle\n");
    EXPECT_EQ(store.tell(h), -1);
    EXPECT_EQ(traces.back(), "tell: invalid handle\n");
    EXPECT_EQ(store.lock(h, 0, 1), nullptr);
    EXPECT_EQ(traces.back(), "lock: invalid handle\n");
    EXPECT_FALSE(store.unlock(h, 0, 1));
    EXPECT_EQ(traces.back(), "unlock: invalid handle\n");

    // A handle of another store is not one of this store's slots.
    table_store other;
    ASSERT_TRUE(init_bytes(other, make_table({{"beta", "0123456789"}})));
    table_handle foreign = other.open("beta");
    ASSERT_NE(foreign, nullptr);
    EXPECT_FALSE(store.read(foreign, &c, 1));
    EXPECT_EQ(store.tell(foreign), -1);
}

TEST_F(table_store_test, lock_gives_the_bytes_in_place_and_checks_its_range) {
    table_handle h = store.open("beta");
    ASSERT_TRUE(store.seek(h, 2, 0));
    const std::byte* p = store.lock(h, 1, 7);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 7), "3456789");
    EXPECT_EQ(store.lock_count(), 1);
    EXPECT_EQ(store.lock(h, 1, 8), nullptr);
    EXPECT_EQ(traces.back(), "lock: read past end of file\n");
    EXPECT_EQ(store.lock(h, 0, -1), nullptr);
    EXPECT_EQ(traces.back(), "lock: invalid size\n");
    EXPECT_EQ(store.lock(h, -3, 1), nullptr) << "a lock before the entry's start reads another entry";
    EXPECT_EQ(store.lock_count(), 1);
    EXPECT_FALSE(store.unlock(h, 1, 8));
    EXPECT_EQ(traces.back(), "unlock: read past end of file\n");
    EXPECT_FALSE(store.unlock(h, 1, -1));
    EXPECT_EQ(traces.back(), "unlock: invalid size\n");
    EXPECT_TRUE(store.unlock(h, 1, 7));
    EXPECT_EQ(store.lock_count(), 0);
    EXPECT_EQ(store.tell(h), 2) << "lock does not move the position";
}

TEST_F(table_store_test, close_all_with_an_outstanding_lock_keeps_the_table_and_its_pointers) {
    table_handle h = store.open("beta");
    const std::byte* p = store.lock(h, 0, 10);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(store.close(h)) << "closing a handle leaves the lock count alone";
    store.close_all();
    EXPECT_TRUE(store.is_open());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 10), "0123456789");

    // A new table replaces it, but the locked bytes stay mapped.
    ASSERT_TRUE(init_bytes(store, make_table({{"other", "QQ"}})));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 10), "0123456789");
    EXPECT_EQ(store.open("beta"), nullptr);
    EXPECT_NE(store.open("other"), nullptr);
    EXPECT_EQ(store.read(h, nullptr, 0), false) << "a handle of the replaced table is void";
}

TEST_F(table_store_test, close_all_without_locks_releases_the_table) {
    table_handle h = store.open("beta");
    const std::byte* p = store.lock(h, 0, 1);
    ASSERT_TRUE(store.unlock(h, 0, 1));
    (void)p;
    store.close_all();
    EXPECT_FALSE(store.is_open());
    EXPECT_EQ(store.record_count(), 0);
    EXPECT_EQ(store.slot_count(), 0);
    EXPECT_EQ(store.open("beta"), nullptr);
    EXPECT_EQ(traces.back(), "open: not initialized\n");
    EXPECT_EQ(store.tell(h), -1);
}

TEST(table_store, init_through_the_system_maps_the_named_file) {
    package_test::memory_system sys;
    sys.put("C:\\t\\ark.vrz", make_table({{"001", "packed"}}));
    table_store store;
    std::vector<std::string> traces;
    store.set_trace([&](std::string_view t) { traces.emplace_back(t); });
    ASSERT_TRUE(store.init(sys, "C:\\t\\ark.vrz", 1));
    EXPECT_EQ(store.record_count(), 1);
    EXPECT_EQ(store.slot_count(), 1);
    EXPECT_NE(store.open("001"), nullptr);

    EXPECT_FALSE(store.init(sys, "C:\\t\\missing.vrz", 1));
    EXPECT_EQ(traces.back(), "init: CreateTable(C:\\t\\missing.vrz)\n");
    EXPECT_FALSE(store.is_open());
    EXPECT_FALSE(store.init(sys, "C:\\t\\ark.vrz", -1)) << "a negative slot count cannot be allocated";
}

TEST(table_store, refuses_empty_and_short_files_with_their_trace) {
    const struct {
        std::string bytes;
        const char* trace;
    } cases[] = {{"", "init: CreateTableMapping Failed\n"},
                 {std::string("\0\0\0", 3), "init: invalid directory\n"},
                 {std::string("\0\0\0\0", 4), "init: invalid directory\n"},  // no end offset
                 {std::string(8, '\0'), nullptr}};                               // an empty table
    for (const auto& c : cases) {
        table_store store;
        std::vector<std::string> traces;
        store.set_trace([&](std::string_view t) { traces.emplace_back(t); });
        const bool ok = init_bytes(store, c.bytes);
        EXPECT_EQ(ok, c.trace == nullptr) << c.bytes.size();
        if (c.trace) {
            ASSERT_EQ(traces.size(), 1u);
            EXPECT_EQ(traces[0], c.trace);
        } else {
            EXPECT_EQ(store.record_count(), 0);
            EXPECT_EQ(store.open("001"), nullptr);
        }
    }
}

TEST(table_store, zero_slots_open_a_table_whose_entries_cannot_be_opened) {
    table_store store;
    ASSERT_TRUE(init_bytes(store, make_table({{"001", "x"}}), 0));
    EXPECT_EQ(store.open("001"), nullptr);
}

// Hostile files: the store must refuse them or serve only bytes inside the file.
struct hostile_case {
    const char* fixture;
    bool init_ok;
    const char* what;
};

class table_store_hostile : public ::testing::TestWithParam<hostile_case> {};

TEST_P(table_store_hostile, never_reads_outside_the_file) {
    const auto& c = GetParam();
    table_store store;
    const bool ok = init_bytes(store, read_fixture(c.fixture), 8);
    ASSERT_EQ(ok, c.init_ok) << c.what;
    if (!ok) {
        EXPECT_FALSE(store.is_open());
        return;
    }
    for (const char* name : {"001", "002", "003"}) {
        table_handle h = store.open(name);
        EXPECT_EQ(h, nullptr) << c.what << ": " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    fixtures, table_store_hostile,
    ::testing::Values(hostile_case{"table_count_beyond_file.bin", false, "N larger than the file allows"},
                      hostile_case{"table_shorter_than_count.bin", false, "file of two bytes"},
                      hostile_case{"table_offset_beyond_file.bin", true, "an entry ending past the file's end"},
                      hostile_case{"table_decreasing_offsets.bin", true, "an entry with a negative size"}));

TEST(table_store, an_unsorted_directory_finds_less_but_stays_in_bounds) {
    // Records in the wrong order: names may be missed and sizes come out negative; whatever
    // opens must lie inside the file.
    std::string bytes = make_table({{"001", "a"}, {"002", "bb"}, {"003", "ccc"}, {"004", "dddd"}});
    std::swap_ranges(bytes.begin() + 4, bytes.begin() + 4 + 48, bytes.begin() + 4 + 96);
    table_store store;
    ASSERT_TRUE(init_bytes(store, bytes));
    int opened = 0;
    for (const char* name : {"001", "002", "003", "004"}) {
        table_handle h = store.open(name);
        if (!h) continue;
        ++opened;
        const std::byte* p = store.lock(h, 0, h->size);
        ASSERT_NE(p, nullptr);
        EXPECT_GE(p, store.view().data());
        EXPECT_LE(p + h->size, store.view().data() + store.view().size());
    }
    EXPECT_EQ(store.open("002"), nullptr) << "002 now ends where 001 starts, before its own start";
    EXPECT_GT(opened, 0);
}

TEST(table_file_writer, sorts_records_by_name_without_regard_to_case_and_lays_out_the_data) {
    table_file_writer writer;
    writer.add({"b", 2, "B.PK_", "BB", {}});
    writer.add({"A", 1, "A.PK_", "a", {}});
    writer.add({"_", 3, "U.PK_", "", {}});
    const std::string bytes = writer.bytes();
    // Names compare folded to lower case: '_' (0x5F) comes before 'a' (0x61).
    ASSERT_EQ(bytes.size(), 4u + 3 * 48 + 4 + 3);
    auto record = [&](int i) {
        return package::parse_table_record(std::span<const std::byte, 48>(
            reinterpret_cast<const std::byte*>(bytes.data()) + 4 + 48 * i, 48));
    };
    EXPECT_EQ(record(0).entry_name, "_");
    EXPECT_EQ(record(1).entry_name, "A");
    EXPECT_EQ(record(1).file_name, "A.PK_");
    EXPECT_EQ(record(1).volume, 1u);
    EXPECT_EQ(record(2).entry_name, "b");
    EXPECT_EQ(record(0).data_offset, 152u);
    EXPECT_EQ(record(1).data_offset, 152u);
    EXPECT_EQ(record(2).data_offset, 153u);
    EXPECT_EQ(bytes.substr(148, 4), std::string("\x9B\x00\x00\x00", 4)) << "end offset 155";
    EXPECT_EQ(bytes.substr(152), "aBB");
}

TEST(table_file_writer, refuses_names_that_do_not_fit_or_repeat) {
    table_file_writer writer;
    writer.add({"abc", 0, "", "", {}});
    EXPECT_THROW(writer.add({"ABC", 0, "", "", {}}), std::invalid_argument);
    EXPECT_THROW(writer.add({"", 0, "", "", {}}), std::invalid_argument);
    EXPECT_THROW(writer.add({"123456789X", 0, "", "", {}}), std::invalid_argument);
    EXPECT_THROW(writer.add({"x", 0, "ABCDEFGHI.JKL", "", {}}), std::invalid_argument);
    EXPECT_NO_THROW(writer.add({"123456789", 0, "ABCDEFGH.JKL", "", {}}));
}

TEST(table_record, round_trips_and_cuts_unterminated_names) {
    package::table_record r;
    r.data_offset = 0x01020304;
    r.volume = 7;
    r.reserved[0] = std::byte{0xEE};
    r.file_name = "FILE.PK_";
    r.entry_name = "007";
    const std::string bytes = package::serialize_table_record(r);
    ASSERT_EQ(bytes.size(), 48u);
    auto back = package::parse_table_record(
        std::span<const std::byte, 48>(reinterpret_cast<const std::byte*>(bytes.data()), 48));
    EXPECT_EQ(back.data_offset, r.data_offset);
    EXPECT_EQ(back.volume, 7u);
    EXPECT_EQ(back.reserved, r.reserved);
    EXPECT_EQ(back.file_name, "FILE.PK_");
    EXPECT_EQ(back.entry_name, "007");

    std::string full(48, 'N');
    auto cut = package::parse_table_record(
        std::span<const std::byte, 48>(reinterpret_cast<const std::byte*>(full.data()), 48));
    EXPECT_EQ(cut.file_name, std::string(14, 'N'));
    EXPECT_EQ(cut.entry_name, std::string(10, 'N'));
}

TEST(table_record, entry_names_have_three_digits_at_least) {
    EXPECT_EQ(package::entry_name(7), "007");
    EXPECT_EQ(package::entry_name(42), "042");
    EXPECT_EQ(package::entry_name(1000), "1000");
}

}  // namespace
