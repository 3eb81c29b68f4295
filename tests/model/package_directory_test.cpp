#include <gtest/gtest.h>

#include "model/package_directory.hpp"
#include "tests/model/test_bytes.hpp"

namespace {

using namespace test_support;

std::shared_ptr<model::comp_file_object> packed(const std::string& real, std::int32_t value, const std::string& name) {
    auto c = std::make_shared<model::comp_file_object>();
    c->real_name = real;
    c->packed_value = value;
    c->packed_name = name;
    return c;
}

TEST(package_directory, OneTextMapOfPackedFiles) {
    model::package_directory directory;
    directory.insert_or_assign("a", packed("APP.EXE", 7, "001"));  // bucket 12
    directory.insert_or_assign("b", packed("HELP.TXT", -1, "002"));  // bucket 13
    const std::string stored = model::serialize_package_directory(directory);
    EXPECT_EQ(stored, u16(2) + text("a") + new_class("comp_file_object") + text("APP.EXE") + u32(7) + text("001") +
                          text("b") + u16(0x8001) + text("HELP.TXT") + u32(0xFFFFFFFF) + text("002"));

    const auto back = model::parse_package_directory(model::as_bytes(stored));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back.find("a")->real_name, "APP.EXE");
    EXPECT_EQ(back.find("b")->packed_value, -1);
    EXPECT_EQ(back.find("b")->packed_name, "002");
}

TEST(package_directory, EmptyIsTwoZeroBytes) {
    EXPECT_EQ(model::serialize_package_directory({}), u16(0));
    EXPECT_TRUE(model::parse_package_directory(model::as_bytes(u16(0))).empty());
}

TEST(package_directory, OtherClassesAndDamageAreMalformed) {
    const std::string cases[] = {
        u16(1) + text("a") + new_class("file_object"),
        u16(3) + text("a") + new_class("comp_file_object") + text("X") + u32(0) + text("1"),
        u16(0xFFFF) + u32(0x7FFFFFFF),
        "",
    };
    for (const auto& stored : cases) {
        EXPECT_THROW(model::parse_package_directory(model::as_bytes(stored)), model::format_error);
    }
}

}  // namespace
