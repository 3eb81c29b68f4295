#include <gtest/gtest.h>

#include <map>

#include "model/project_data.hpp"
#include "platform/system.hpp"
#include "tests/model/test_bytes.hpp"
#include "tests/support/inert_system.hpp"

namespace {

/// A machine whose files are held in memory; a file marked unreadable exists but cannot be mapped.
class memory_system : public test_support::inert_system {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, bool> unreadable;

    std::unique_ptr<platform::mapped_file> map_file(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end() || unreadable[path]) return nullptr;
        return std::make_unique<mapped>(it->second);
    }
    std::optional<platform::file_status> status(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        platform::file_status s;
        s.size = it->second.size();
        return s;
    }

private:
    class mapped : public platform::mapped_file {
    public:
        explicit mapped(const std::string& bytes) : bytes_(bytes) {}
        std::span<const std::byte> bytes() const override { return model::as_bytes(bytes_); }

    private:
        const std::string& bytes_;
    };
};

model::project_data named_project(const std::string& name) {
    model::project_data p;
    p.app_name.app_name = name;
    p.files.registry_entries.insert_or_assign("k", std::make_shared<model::registry_info>());
    return p;
}

struct load_case {
    const char* name;
    std::string file;  // empty name: no file at all
    bool readable;
    model::load_result result;
    std::string message;
};

class load_project : public ::testing::TestWithParam<load_case> {};

TEST_P(load_project, ResultAndMessage) {
    memory_system sys;
    const auto& c = GetParam();
    if (c.file != "<none>") {
        sys.files["arkbs.vrz"] = c.file;
        sys.unreadable["arkbs.vrz"] = !c.readable;
    }
    model::project_data project = named_project("left over");
    EXPECT_EQ(model::load_project(sys, "arkbs.vrz", project), c.result);
    EXPECT_EQ(model::load_failure_message(c.result), c.message);
    if (c.result == model::load_result::Ok) {
        EXPECT_EQ(project.app_name.app_name, "Good");
        EXPECT_EQ(project.files.registry_entries.size(), 1u);
    } else {
        // A failed load leaves an empty document, nothing half-built.
        EXPECT_EQ(project.app_name.app_name, "");
        EXPECT_TRUE(project.files.registry_entries.empty());
    }
}

const std::string good = model::serialize_project(named_project("Good"));

INSTANTIATE_TEST_SUITE_P(
    Cases, load_project,
    ::testing::Values(load_case{"Ok", good, true, model::load_result::Ok, ""},
                      load_case{"Missing", "<none>", true, model::load_result::Missing, ""},
                      load_case{"Truncated", good.substr(0, good.size() - 1), true, model::load_result::Malformed,
                                "予期しないﾌｧｲﾙ形式です。"},
                      load_case{"Empty", "", true, model::load_result::Malformed, "予期しないﾌｧｲﾙ形式です。"},
                      load_case{"CannotOpen", good, false, model::load_result::Unreadable,
                                "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"}),
    [](const auto& info) { return info.param.name; });

TEST(load_project_messages, AreCodePage932Bytes) {
    // The half-width katakana are single bytes in code page 932: "ﾌｧｲﾙ" is CC A7 B2 D9.
    EXPECT_NE(model::load_failure_message(model::load_result::Malformed).find("\xcc\xa7\xb2\xd9"), std::string::npos);
}

TEST(load_project_trailing, BytesAfterTheLastRecordAreIgnored) {
    memory_system sys;
    sys.files["p"] = good + "trailing";
    model::project_data project;
    EXPECT_EQ(model::load_project(sys, "p", project), model::load_result::Ok);
    EXPECT_EQ(project.app_name.app_name, "Good");
}

}  // namespace
