#include "tools/package_manifest.hpp"

#include <gtest/gtest.h>

#include "tests/tools/package_tool_fixture.hpp"
#include "tools/package_pack.hpp"
#include "tools/project_json.hpp"

namespace {

using package_tool_test::project_installing;
namespace fs = std::filesystem;

class package_manifest : public package_tool_test::scratch_test {
protected:
    void SetUp() override {
        scratch_test::SetUp();
        put("a.txt", "alpha");
        put("arkbs.in", model::serialize_project(project_installing({"a.txt"})));
    }
    nlohmann::json base() const {
        return {{"project_file", "arkbs.in"}, {"files", {{{"source", "a.txt"}}}}};
    }
};

TEST_F(package_manifest, reads_every_field) {
    put("lic.txt", "licence");
    nlohmann::json j = base();
    j["files"].push_back({{"source", "sub/b.dat"}, {"name", "b.dat"}, {"packed_name", "B.PK_"}, {"packed_value", -5}});
    j["volumes"] = 3;
    j["required_bytes"] = 4000000000u;
    j["header_values"] = {7, 8};
    j["fill_file_sizes"] = false;
    j["licence"] = "lic.txt";
    j["uninstaller"] = "/abs/qlun.exe";
    const auto m = tools::manifest_from_json(j, root);
    ASSERT_EQ(m.files.size(), 2u);
    EXPECT_EQ(m.files[0].source, root / "a.txt");
    EXPECT_EQ(m.files[0].real_name, "a.txt") << "the name defaults to the source's file name";
    EXPECT_EQ(m.files[1].source, root / "sub/b.dat");
    EXPECT_EQ(m.files[1].packed_name, "B.PK_");
    EXPECT_EQ(m.files[1].packed_value, -5);
    EXPECT_EQ(m.options.volume_count, 3u);
    EXPECT_EQ(m.options.required_bytes, 4000000000u);
    EXPECT_EQ(m.options.value_1, 7u);
    EXPECT_EQ(m.options.value_2, 8u);
    EXPECT_FALSE(m.fill_file_sizes);
    EXPECT_EQ(m.extras.at("licence.lic"), root / "lic.txt");
    EXPECT_EQ(m.extras.at("spex2.dat"), fs::path("/abs/qlun.exe"));
    EXPECT_EQ(m.project.app_name.app_name, "Tool");
}

TEST_F(package_manifest, takes_the_project_inline_as_vrz_show_prints_it) {
    auto project = project_installing({"a.txt"});
    project.app_name.app_name = "日本語";
    nlohmann::json j = base();
    j.erase("project_file");
    j["project"] = tools::project_to_json(project);
    const auto m = tools::manifest_from_json(j, root);
    EXPECT_EQ(m.project.app_name.app_name, "日本語");
    ASSERT_NE(m.project.files.files.find("a.txt"), nullptr);
}

TEST_F(package_manifest, converts_names_to_code_page_932) {
    nlohmann::json j = base();
    j["files"][0]["name"] = "\xE8\xA1\xA8\xE7\xA4\xBA.txt";  // UTF-8 in the manifest
    EXPECT_EQ(tools::manifest_from_json(j, root).files[0].real_name, "表示.txt");
}

struct bad_manifest {
    const char* what;
    void (*spoil)(nlohmann::json&);
    const char* message;
};

class package_manifest_errors : public package_manifest, public ::testing::WithParamInterface<bad_manifest> {};

TEST_P(package_manifest_errors, name_the_field) {
    nlohmann::json j = base();
    GetParam().spoil(j);
    try {
        tools::manifest_from_json(j, root);
        FAIL() << GetParam().what << ": accepted";
    } catch (const tools::manifest_error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    manifests, package_manifest_errors,
    ::testing::Values(
        bad_manifest{"unknown field", [](nlohmann::json& j) { j["volume"] = 2; }, "volume: unknown field"},
        bad_manifest{"no project", [](nlohmann::json& j) { j.erase("project_file"); }, "project: missing field"},
        bad_manifest{"two projects", [](nlohmann::json& j) { j["project"] = nlohmann::json::object(); },
                     "give either \"project\" or \"project_file\""},
        bad_manifest{"count and size", [](nlohmann::json& j) { j["volumes"] = 2; j["volume_size"] = 100; },
                     "give either \"volumes\" or \"volume_size\""},
        bad_manifest{"no volumes", [](nlohmann::json& j) { j["volumes"] = 0; }, "at least one volume"},
        bad_manifest{"negative size", [](nlohmann::json& j) { j["volume_size"] = -1; }, "volume_size: expected"},
        bad_manifest{"file without source", [](nlohmann::json& j) { j["files"][0] = {{"name", "x"}}; },
                     "files[0].source: missing field"},
        bad_manifest{"unknown file field", [](nlohmann::json& j) { j["files"][0]["size"] = 1; },
                     "files[0].size: unknown field"},
        bad_manifest{"missing project file", [](nlohmann::json& j) { j["project_file"] = "none.vrz"; },
                     "project_file: cannot read"},
        bad_manifest{"broken project file", [](nlohmann::json& j) { j["project_file"] = "a.txt"; },
                     "is not a valid project file"},
        bad_manifest{"bad header values", [](nlohmann::json& j) { j["header_values"] = {1}; },
                     "header_values: expected two"}));

struct bad_pack {
    const char* what;
    void (*spoil)(nlohmann::json&);
    const char* message;
};

class package_pack_errors : public package_manifest, public ::testing::WithParamInterface<bad_pack> {};

TEST_P(package_pack_errors, leave_no_package_behind) {
    nlohmann::json j = base();
    GetParam().spoil(j);
    try {
        tools::pack_package(tools::manifest_from_json(j, root), root / "pkg");
        FAIL() << GetParam().what << ": packed";
    } catch (const tools::manifest_error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(root / "pkg"));
}

INSTANTIATE_TEST_SUITE_P(
    manifests, package_pack_errors,
    ::testing::Values(
        bad_pack{"missing source", [](nlohmann::json& j) { j["files"].push_back({{"source", "none.txt"}}); },
                 "files[1].source: cannot read"},
        bad_pack{"name twice", [](nlohmann::json& j) { j["files"].push_back({{"source", "a.txt"}, {"name", "A.TXT"}}); },
                 "occurs twice"},
        bad_pack{"name with a path", [](nlohmann::json& j) { j["files"][0]["name"] = "..\\a.txt"; },
                 "cannot be a file name"},
        bad_pack{"reserved name", [](nlohmann::json& j) { j["files"][0]["name"] = "ark.vrz"; },
                 "cannot be a file name"},
        bad_pack{"long packed name", [](nlohmann::json& j) { j["files"][0]["packed_name"] = "LONGNAME1.PK_"; },
                 "not a plain 8.3 name"},
        bad_pack{"packed name twice",
                 [](nlohmann::json& j) {
                     j["files"][0]["packed_name"] = "X.PK_";
                     j["files"].push_back({{"source", "a.txt"}, {"name", "b.txt"}, {"packed_name", "x.pk_"}});
                 },
                 "occurs twice"},
        bad_pack{"packed name of a file", [](nlohmann::json& j) { j["files"][0]["packed_name"] = "A.TXT"; },
                 "is also a file name"}));

}  // namespace
