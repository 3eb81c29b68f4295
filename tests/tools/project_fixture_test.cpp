#include <gtest/gtest.h>

#include <fstream>

#include "tools/project_json.hpp"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A small project with Japanese texts, a text that is not code page 932, a null entry,
// shared objects and a component selected as 0xFFFF; its JSON as vrz show prints it.
const std::string project_path = VRZ_TEST_DATA "/model/sample_project.vrz";
const std::string json_path = VRZ_TEST_DATA "/tools/sample_project.json";

TEST(project_fixture, ShowPrintsTheKnownJson) {
    const std::string file = read_file(project_path);
    EXPECT_EQ(tools::project_file_to_json(model::as_bytes(file)).dump(2) + "\n", read_file(json_path));
}

TEST(project_fixture, ProjectWritesTheKnownFile) {
    const auto json = nlohmann::json::parse(read_file(json_path));
    EXPECT_EQ(model::serialize_project(tools::project_from_json(json)), read_file(project_path));
}

}  // namespace
