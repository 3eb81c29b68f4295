#include "install/launch.hpp"

#include <gtest/gtest.h>

#include "tests/install/installation_sandbox.hpp"

namespace {

using installation_test::sandbox;

model::proj_hi_level_info run(const std::string& program) {
    model::proj_hi_level_info info;
    info.run_program = program;
    return info;
}

TEST(launch_program, starts_the_resolved_program) {
    sandbox box;
    box.put("C:\\Program Files\\App\\app.exe");
    install::launch_program(box.sys(), run("[PROGRAM FILES]\\App\\app.exe"));
    EXPECT_EQ(box.sys().started_processes(), std::vector<std::string>{"C:\\Program Files\\App\\app.exe"});
}

TEST(launch_program, an_empty_program_starts_nothing) {
    sandbox box;
    EXPECT_EQ(install::launch_path(box.sys(), run("")), "");
    install::launch_program(box.sys(), run(""));
    EXPECT_TRUE(box.sys().started_processes().empty());
}

TEST(launch_program, a_missing_program_is_not_reported) {
    sandbox box;
    EXPECT_EQ(install::launch_path(box.sys(), run("[WINDOWS]\\gone.exe")), "C:\\WINDOWS\\gone.exe");
    install::launch_program(box.sys(), run("[WINDOWS]\\gone.exe"));
    EXPECT_TRUE(box.sys().started_processes().empty());
}

}  // namespace
