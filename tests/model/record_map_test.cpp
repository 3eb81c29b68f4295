#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/record_map.hpp"

namespace {

struct item {
    int value = 0;
};

template <class Key>
std::vector<Key> keys_of(const model::record_map<Key, item>& map) {
    std::vector<Key> keys;
    for (const auto& entry : map.entries()) keys.push_back(entry.first);
    return keys;
}

std::shared_ptr<item> make(int v) { return std::make_shared<item>(item{v}); }

TEST(word_map, BucketIsKeyOverSixteenModSeventeen) {
    EXPECT_EQ(model::bucket_of(std::uint16_t{0x0000}), 0u);
    EXPECT_EQ(model::bucket_of(std::uint16_t{0x000F}), 0u);
    EXPECT_EQ(model::bucket_of(std::uint16_t{0x0010}), 1u);
    EXPECT_EQ(model::bucket_of(std::uint16_t{0x0110}), 0u);  // 17 mod 17
    EXPECT_EQ(model::bucket_of(std::uint16_t{0xFFFF}), (0xFFFFu / 16) % 17);
}

TEST(word_map, KeysOfOneBucketVisitLastInsertedFirst) {
    // 0x0123 / 16 = 18 and 0x0124 / 16 = 18: both in bucket 1.
    model::word_map<item> map;
    map.insert_or_assign(0x0123, make(1));
    map.insert_or_assign(0x0124, make(2));
    map.insert_or_assign(0x0005, make(3));  // bucket 0
    EXPECT_EQ(keys_of(map), (std::vector<std::uint16_t>{0x0005, 0x0124, 0x0123}));
}

TEST(word_map, ReplacingKeepsThePlace) {
    model::word_map<item> map;
    map.insert_or_assign(0x0123, make(1));
    map.insert_or_assign(0x0124, make(2));
    map.insert_or_assign(0x0123, make(9));
    EXPECT_EQ(keys_of(map), (std::vector<std::uint16_t>{0x0124, 0x0123}));
    EXPECT_EQ(map.find(0x0123)->value, 9);
    EXPECT_EQ(map.size(), 2u);
}

TEST(text_map, HashCountsLeadBytesNegative) {
    // "\x82\xa0" (あ): signed: (-126)*33 + (-96) = -4254 -> 4294963042 mod 17 = 14;
    // unsigned it would be 130*33 + 160 = 4450 -> 4450 mod 17 = 13.
    EXPECT_EQ(model::bucket_of(std::string("\x82\xa0")), 14u);
    EXPECT_EQ(model::bucket_of(std::string("abc")), ((97u * 33 + 98) * 33 + 99) % 17);
    EXPECT_EQ(model::bucket_of(std::string()), 0u);
}

TEST(text_map, VisitsBucketsInOrder) {
    // "a" = 97 (bucket 12), "b" = 98 (13), "\x82\xa0" (14, where an unsigned hash would
    // put it into 13 ahead of "b"), "" (0).
    model::text_map<item> map;
    for (const char* key : {"a", "b", "\x82\xa0", ""}) map.insert_or_assign(key, make(0));
    EXPECT_EQ(keys_of(map), (std::vector<std::string>{"", "a", "b", "\x82\xa0"}));
}

TEST(text_map, KeysCompareByteForByte) {
    model::text_map<item> map;
    map.insert_or_assign("File", make(1));
    map.insert_or_assign("file", make(2));
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.find("File")->value, 1);
    EXPECT_EQ(map.find("FILE"), nullptr);
}

TEST(record_map, NullValuesAreKeptButNotVisited) {
    model::word_map<item> map;
    map.insert_or_assign(1, nullptr);
    map.insert_or_assign(2, make(5));
    EXPECT_EQ(map.size(), 2u);
    EXPECT_TRUE(map.contains(1));
    EXPECT_EQ(map.find(1), nullptr);
    EXPECT_EQ(map.entries().size(), 2u);
    int visited = 0;
    map.for_each([&](std::uint16_t key, const item& value) {
        EXPECT_EQ(key, 2);
        EXPECT_EQ(value.value, 5);
        ++visited;
    });
    EXPECT_EQ(visited, 1);
}

TEST(record_map, EmptyAndCleared) {
    model::text_map<item> map;
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.find("x"), nullptr);
    EXPECT_FALSE(map.contains("x"));
    EXPECT_TRUE(map.entries().empty());
    map.insert_or_assign("x", make(1));
    map.clear();
    EXPECT_TRUE(map.empty());
    EXPECT_FALSE(map.contains("x"));
    map.insert_or_assign("y", make(2));
    EXPECT_EQ(keys_of(map), std::vector<std::string>{"y"});
}

TEST(record_map, LargeMapKeepsBucketOrder) {
    model::word_map<item> map;
    for (int k = 0; k < 5000; ++k) map.insert_or_assign(static_cast<std::uint16_t>(k * 13), make(k));
    const auto entries = map.entries();
    ASSERT_EQ(entries.size(), 5000u);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const auto previous = model::bucket_of(entries[i - 1].first);
        const auto current = model::bucket_of(entries[i].first);
        ASSERT_LE(previous, current);
        // Within a bucket the later insertion (the larger key here) comes first.
        if (previous == current) {
            ASSERT_GT(entries[i - 1].first, entries[i].first);
        }
    }
}

}  // namespace
