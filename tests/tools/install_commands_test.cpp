// vrz plan, vrz install and vrz uninstall: their options, output and exit codes.

#include <gtest/gtest.h>

#include "platform/host_system.hpp"
#include "tests/tools/install_fixture.hpp"

namespace {

using namespace install_tool_test;

std::shared_ptr<model::compo_file_object> component(std::int16_t id, bool selected) {
    auto c = std::make_shared<model::compo_file_object>();
    c->component_id = id;
    c->selected = selected ? 1 : 0;
    return c;
}

model::project_data tool_project() {
    model::project_data p;
    p.app_name.app_name = "ツール";
    p.dsp_mainfrm.frame_title = "ツール セットアップ";
    p.act_info.register_uninstall = 1;
    p.files.component_map.insert_or_assign(1, component(1, true));
    p.files.component_map.insert_or_assign(2, component(2, false));
    auto folder = std::make_shared<model::folder_object>();
    for (auto [key, name, id] : {std::tuple{"tool", "tool.exe", 1}, std::tuple{"extra", "extra.dat", 2}}) {
        auto f = std::make_shared<model::file_object>();
        f->source_name = name;
        f->install_path = std::string("[PROGRAM FILES]\\Tool\\") + name;
        f->sub_path = name;
        f->component_id = static_cast<std::int16_t>(id);
        folder->files.insert_or_assign(key, f);
    }
    p.files.folders.insert_or_assign("tool", folder);
    auto link = std::make_shared<model::stmenu_file_object>();
    link->link_name = "ツール";
    link->target_path = "[PROGRAM FILES]\\Tool\\tool.exe";
    p.files.start_menu.shortcuts.insert_or_assign(1, link);
    auto owner = std::make_shared<model::registry_info>();
    owner->key_path = "HKEY_CURRENT_USER\\Software\\Tool\\Owner";
    owner->value_text = "%qorde_setup_user";
    p.files.registry_entries.insert_or_assign("owner", owner);
    return p;
}

const std::map<std::string, std::string> tool_files{{"tool.exe", "MZ tool"}, {"extra.dat", "extra"}};

/// The lines of text from the line starting with from up to (not including) the one starting with to.
std::string section(const std::string& text, const std::string& from, const std::string& to) {
    const auto begin = text.find("\n" + from);
    const auto end = text.find("\n" + to, begin == std::string::npos ? 0 : begin);
    if (begin == std::string::npos || end == std::string::npos) return "(missing)";
    return text.substr(begin, end - begin);
}

class install_commands : public scratch_test {};

TEST_F(install_commands, plan_prints_each_action_and_install_does_it) {
    const auto package = pack("pkg", tool_project(), tool_files);
    const std::string sandbox = (root / "box").string();
    const auto plan = run_vrz({"plan", package.string(), "--user", utf8(u8"花子")});
    ASSERT_EQ(plan.code, 0) << plan.err;
    for (const auto& line :
         {utf8(u8"Plan for ツール"),
          utf8(u8"    copy  C:\\Program Files\\Tool\\tool.exe   [folder key tool]"),
          utf8(u8"    skip  [PROGRAM FILES]\\Tool\\extra.dat: component 2 is not selected"),
          utf8(u8"    UninstallString = \"C:\\Program Files\\Tool\\qlun.exe\" \"C:\\Program "
               u8"Files\\Tool\\arkbs.vrz\""),
          utf8(u8"  shortcut  C:\\WINDOWS\\Profiles\\user\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ツール.lnk"),
          utf8(u8"  HKEY_CURRENT_USER\\Software\\Tool\\Owner = \"花子\"")}) {
        EXPECT_NE(plan.out.find(line), std::string::npos) << line << "\n" << plan.out;
    }
    EXPECT_FALSE(fs::exists(sandbox)) << "plan without --root works on a sandbox of its own";

    const auto installed =
        run_vrz({"install", package.string(), "--root", sandbox, "--user", utf8(u8"花子")});
    ASSERT_EQ(installed.code, 0) << installed.out << installed.err;
    EXPECT_EQ(section(installed.out, "Start menu", "Registry"), section(plan.out, "Start menu", "Registry"));
    EXPECT_EQ(section(installed.out, "Registry", "Finish"), section(plan.out, "Registry", "Finish"));
    EXPECT_NE(
        installed.out.find(utf8(u8"Files placed\n  C:\\Program Files\\Tool\\tool.exe\nUninstall entry")),
        std::string::npos)
        << installed.out;
}

TEST_F(install_commands, plan_follows_the_machine_file_and_the_choices) {
    const auto package = pack("pkg", tool_project(), tool_files);
    put("nt.json",
        R"({"platform_id": 2, "windows_directory": "D:\\WINNT", "system_directory": "D:\\WINNT\\SYSTEM32",
                       "drives": {"C": {"type": "cdrom"}, "D": {}}})");
    const auto plan = run_vrz({"plan", package.string(), "--machine", (root / "nt.json").string(), "--dest",
                               "D:\\Apps\\Tool\\\\", "--select", "2", "--json"});
    ASSERT_EQ(plan.code, 0) << plan.err;
    const auto j = nlohmann::json::parse(plan.out);
    EXPECT_EQ(j["machine"]["windows_directory"], "D:\\WINNT");
    EXPECT_EQ(j["machine"]["temp_folder"], "D:\\temp\\");
    EXPECT_EQ(j["machine"]["first_fixed_root"], "D:\\");
    EXPECT_EQ(j["destination_folder"], "D:\\Apps\\Tool") << "trailing backslashes dropped";
    ASSERT_EQ(j["files"].size(), 2u);
    // vrz pack numbers the files in name order: extra.dat is entry 1.
    EXPECT_EQ(j["files"][0]["package_file"], "extra.dat");
    EXPECT_EQ(j["files"][0]["action"], "copy");
    EXPECT_EQ(j["files"][0]["destination"], "D:\\Apps\\Tool\\extra.dat");
    EXPECT_EQ(j["files"][1]["action"], "skip_component");
    EXPECT_EQ(j["start_menu"][0]["target"], "D:\\Apps\\Tool\\tool.exe");
    EXPECT_EQ(j["finish"]["run_program"], nullptr);
}

struct usage_case {
    const char* what;
    std::vector<std::string> args;  ///< PKG and BOX stand for the package and a sandbox folder
    int code;
    const char* message;
};

class install_command_usage : public scratch_test, public ::testing::WithParamInterface<usage_case> {};

TEST_P(install_command_usage, is_refused_with_a_message) {
    const auto package = pack("pkg", tool_project(), tool_files);
    fs::create_directories(root / "box");
    std::vector<std::string> args;
    for (const auto& a : GetParam().args) {
        args.push_back(a == "PKG" ? package.string() : a == "BOX" ? (root / "box").string() : a);
    }
    const auto result = run_vrz(args);
    EXPECT_EQ(result.code, GetParam().code) << result.out << result.err;
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    cases, install_command_usage,
    ::testing::Values(
        usage_case{
            "select_not_a_number", {"plan", "PKG", "--select", "1,x"}, 2, "--select takes component ids"},
        usage_case{
            "select_empty_part", {"plan", "PKG", "--select", "1,,2"}, 2, "--select takes component ids"},
        usage_case{
            "select_out_of_range", {"plan", "PKG", "--select", "40000"}, 2, "--select takes component ids"},
        usage_case{
            "plan_root_missing", {"plan", "PKG", "--root", "/nonexistent/vrz/box"}, 1, "no sandbox at"},
        usage_case{"no_project_file", {"plan", "/nonexistent/vrz/pkg"}, 2, "no readable arkbs.vrz"},
        usage_case{
            "uninstall_without_path", {"uninstall", "--root", "BOX"}, 2, "either PROJECT_PATH or --app"},
        usage_case{"uninstall_with_both",
                   {"uninstall", "--root", "BOX", "C:\\a.vrz", "--app", "x"},
                   2,
                   "either PROJECT_PATH or --app"},
        usage_case{"uninstall_unknown_app",
                   {"uninstall", "--root", "BOX", "--app", "Nothing"},
                   2,
                   "no uninstall entry for Nothing"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(install_commands, select_with_nothing_selects_no_component) {
    const auto package = pack("pkg", tool_project(), tool_files);
    const auto plan = run_vrz({"plan", package.string(), "--select", "", "--json"});
    ASSERT_EQ(plan.code, 0) << plan.err;
    for (const auto& f : nlohmann::json::parse(plan.out)["files"]) EXPECT_EQ(f["action"], "skip_component");
}

TEST_F(install_commands, a_missing_volume_stops_the_install_at_the_disk_request) {
    const auto package = pack("pkg", tool_project(), tool_files, {{"volumes", 2}});
    fs::remove(package / "ray001.vrz");
    const auto result = run_vrz({"install", package.string(), "--root", (root / "box").string()});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.out.find(utf8(u8"枚目のフロッピーディスクをセットして下さい。")), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("-> Cancel"), std::string::npos);
    EXPECT_NE(result.err.find("stopped in the preparation stage"), std::string::npos) << result.err;
    platform::host_system sys(root / "box");
    EXPECT_FALSE(sys.status("C:\\Program Files\\Tool\\tool.exe"));
    EXPECT_FALSE(sys.status("C:\\VRZSETUP")) << "the staged package is removed again";
}

TEST_F(install_commands, a_file_that_cannot_be_copied_stops_the_install_unless_errors_are_ignored) {
    const auto package = pack("pkg", tool_project(), tool_files);
    const fs::path box = root / "box";
    {
        platform::host_system sys(box);
        sys.create_directory("C:\\Program Files");
        sys.create_directory("C:\\Program Files\\Tool");
        auto out = sys.create_file("C:\\Program Files\\Tool\\tool.exe");
        ASSERT_TRUE(out && out->close());
        sys.set_attributes("C:\\Program Files\\Tool\\tool.exe", platform::ReadOnly);
    }
    const auto stopped = run_vrz({"install", package.string(), "--root", box.string()});
    EXPECT_EQ(stopped.code, 1);
    EXPECT_NE(stopped.out.find("-> Abort"), std::string::npos) << stopped.out;
    EXPECT_NE(stopped.err.find("stopped in the copy stage"), std::string::npos) << stopped.err;

    const auto ignored = run_vrz({"install", package.string(), "--root", box.string(), "--ignore-errors"});
    EXPECT_EQ(ignored.code, 0) << ignored.out << ignored.err;
    EXPECT_NE(ignored.out.find("-> Ignore"), std::string::npos) << ignored.out;
    platform::host_system sys(box);
    EXPECT_TRUE(sys.query_value(platform::root_key::LocalMachine,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ツール",
                                "UninstallString"));
}

TEST_F(install_commands, uninstall_reports_a_file_it_cannot_delete_and_finishes) {
    const auto package = pack("pkg", tool_project(), tool_files);
    const fs::path box = root / "box";
    ASSERT_EQ(run_vrz({"install", package.string(), "--root", box.string()}).code, 0);
    {
        platform::host_system sys(box);
        sys.set_attributes("C:\\Program Files\\Tool\\tool.exe", platform::ReadOnly);
    }
    const auto removed =
        run_vrz({"uninstall", "--root", box.string(), utf8(u8"C:\\Program Files\\Tool\\arkbs.vrz")});
    EXPECT_EQ(removed.code, 1);
    EXPECT_NE(removed.out.find(utf8(u8"[qlun] C:\\Program Files\\Tool\\tool.exe へのｱｸｾｽは拒否されました。")),
              std::string::npos)
        << removed.out;
    EXPECT_NE(removed.out.find(utf8(u8"[Uninstall] ツール はハードディスクから削除されました。")),
              std::string::npos);
    platform::host_system sys(box);
    EXPECT_FALSE(sys.key_exists(platform::root_key::CurrentUser, "Software\\Tool"));
}

}  // namespace
