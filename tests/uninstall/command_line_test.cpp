#include "uninstall/command_line.hpp"

#include <gtest/gtest.h>

#include <cctype>

namespace uninstall {
namespace {

struct command_line_case {
    const char* what;
    const char* command_line;
    const char* project_path;
};

class command_line_test : public testing::TestWithParam<command_line_case> {};

TEST_P(command_line_test, takes_the_project_path) {
    EXPECT_EQ(project_path_from_command_line(GetParam().command_line), GetParam().project_path);
}

const command_line_case command_line_cases[] = {
    {"plain", "C:\\App\\qlun.exe C:\\App\\arkbs.vrz", "C:\\App\\arkbs.vrz"},
    {"unquoted with blanks in both paths",
     "C:\\Program Files\\My App\\qlun.exe C:\\Program Files\\My App\\arkbs.vrz",
     "C:\\Program Files\\My App\\arkbs.vrz"},
    {"quoted form as registered",
     "\"C:\\Program Files\\My App\\qlun.exe\" \"C:\\Program Files\\My App\\arkbs.vrz\"",
     "C:\\Program Files\\My App\\arkbs.vrz"},
    {"quoted program, unquoted path",
     "\"C:\\Program Files\\App\\qlun.exe\" C:\\Program Files\\App\\arkbs.vrz",
     "C:\\Program Files\\App\\arkbs.vrz"},
    {"upper-case extension", "C:\\APP\\QLUN.EXE C:\\APP\\ARKBS.VRZ", "C:\\APP\\ARKBS.VRZ"},
    {"several blanks between", "qlun.exe    D:\\a b\\arkbs.vrz", "D:\\a b\\arkbs.vrz"},
    {"leading blanks", "  qlun.exe x.vrz", "x.vrz"},
    {"quoted path with blanks after it", "qlun.exe \"C:\\a\\arkbs.vrz\"  ", "C:\\a\\arkbs.vrz"},
    {"program name without extension", "qlun C:\\App\\arkbs.vrz", "C:\\App\\arkbs.vrz"},
    {"no project path", "C:\\App\\qlun.exe", ""},
    {"quoted program only", "\"C:\\My App\\qlun.exe\"", ""},
    {"empty command line", "", ""},
    {"a folder named like a program", "C:\\x.exe.d\\qlun.exe C:\\x.exe.d\\arkbs.vrz",
     "C:\\x.exe.d\\arkbs.vrz"},
    {"two quoted texts are not one path", "qlun.exe \"a\" \"b\"", "\"a\" \"b\""},
    {"code page 932 folder", "C:\\\x83\x76\x83\x8D\\qlun.exe C:\\\x83\x76\x83\x8D\\arkbs.vrz",
     "C:\\\x83\x76\x83\x8D\\arkbs.vrz"},
};

INSTANTIATE_TEST_SUITE_P(forms, command_line_test, testing::ValuesIn(command_line_cases),
                         [](const testing::TestParamInfo<command_line_case>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace uninstall
