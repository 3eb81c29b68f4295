#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/model/project_generator.hpp"
#include "tools/commands.hpp"
#include "tools/project_json.hpp"

namespace {

namespace fs = std::filesystem;

struct run_result {
    int code = 0;
    std::string out;
    std::string err;
};

/// Runs vrz with the project commands as its main does, capturing both output streams.
run_result run_vrz(std::vector<std::string> args) {
    CLI::App app{"vrz"};
    app.require_subcommand(1);
    tools::add_project_commands(app);
    std::ostringstream out;
    std::ostringstream err;
    auto* old_out = std::cout.rdbuf(out.rdbuf());
    auto* old_err = std::cerr.rdbuf(err.rdbuf());
    run_result result;
    std::vector<std::string> argv_text{"vrz"};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_text) argv.push_back(a.data());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        result.code = app.exit(e, out, err);
    } catch (const tools::command_failed& e) {
        result.code = e.exit_code();
    }
    std::cout.rdbuf(old_out);
    std::cerr.rdbuf(old_err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

class project_commands : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path("project_commands_work") / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

TEST_F(project_commands, ShowThenProjectGivesTheFileBack) {
    const std::string file = model::serialize_project(test_support::generated_project({5, 15, 3, true}));
    write("arkbs.vrz", file);
    const run_result shown = run_vrz({"show", path("arkbs.vrz")});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_EQ(shown.out.substr(0, 21), "{\n  \"reserved_text\": ");  // pretty, two spaces
    write("project.json", shown.out);
    const run_result built = run_vrz({"project", path("project.json"), path("out.vrz")});
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(read("out.vrz"), file);
}

TEST_F(project_commands, BadJsonNamesTheFieldAndFails) {
    nlohmann::json j = tools::project_to_json(model::project_data{});
    j["proj_hi_level_info"]["run_program"] = true;
    write("project.json", j.dump());
    const run_result r = run_vrz({"project", path("project.json"), path("out.vrz")});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("proj_hi_level_info.run_program: expected a text, found a boolean"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(path("out.vrz")));
}

TEST_F(project_commands, Failures) {
    write("broken.vrz", model::serialize_project(model::project_data{}).substr(0, 30));
    write("not.json", "{ \"reserved_text\": ");
    struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"show", path("broken.vrz")}, "not a valid project file"},
        {{"show", path("missing.vrz")}, "cannot read the file"},
        {{"project", path("not.json"), path("out.vrz")}, "not valid JSON"},
        {{"project", path("missing.json"), path("out.vrz")}, "cannot read the file"},
        {{"show"}, "FILE is required"},
        {{"project", path("not.json")}, "OUT is required"},
        {{"show", "a", "b"}, "argument was not expected"},
    };
    for (const auto& c : cases) {
        const run_result r = run_vrz(c.args);
        EXPECT_NE(r.code, 0) << c.args[0];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err << "|" << r.out;
        EXPECT_EQ(r.out, "") << c.args[0];
    }
}

TEST_F(project_commands, ProjectRefusesWhatCouldNotBeWritten) {
    const run_result r = run_vrz({"project", path("missing.json"), path("no/such/folder/out.vrz")});
    EXPECT_NE(r.code, 0);
    nlohmann::json j = tools::project_to_json(model::project_data{});
    write("project.json", j.dump());
    const run_result unwritable = run_vrz({"project", path("project.json"), path("no/such/folder/out.vrz")});
    EXPECT_NE(unwritable.code, 0);
    EXPECT_NE(unwritable.err.find("cannot write the file"), std::string::npos) << unwritable.err;
}

}  // namespace
