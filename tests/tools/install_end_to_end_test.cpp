// A package made by vrz pack, installed into a host sandbox by vrz install exactly as vrz
// plan says, then removed by vrz uninstall, which leaves nothing of the application behind
// but its folders, the uninstaller's own file and the shared file in the system folder.

#include <gtest/gtest.h>

#include "install/removal_record.hpp"
#include "model/byte_cursor.hpp"
#include "platform/codepage.hpp"
#include "platform/host_system.hpp"
#include "tests/tools/install_fixture.hpp"

namespace {

using namespace install_tool_test;

std::string cp932(const std::string& utf8_text) {
    auto text = platform::utf8_to_cp932(utf8_text);
    EXPECT_TRUE(text) << utf8_text;
    return text.value_or("");
}

std::shared_ptr<model::file_object> file(const std::string& source, const std::string& install_path,
                                         const std::string& sub_path, std::int16_t component) {
    auto f = std::make_shared<model::file_object>();
    f->source_name = source;
    f->install_path = install_path;
    f->sub_path = sub_path;
    f->component_id = component;
    return f;
}

std::shared_ptr<model::stmenu_file_object> shortcut(const std::string& name, const std::string& target) {
    auto s = std::make_shared<model::stmenu_file_object>();
    s->link_name = name;
    s->target_path = target;
    s->icon_path = target;
    s->work_folder_base = 1;
    s->work_folder = "\\Vendor\\ビューア";
    return s;
}

std::shared_ptr<model::registry_info> value(const std::string& key_path, const std::string& text) {
    auto r = std::make_shared<model::registry_info>();
    r->key_path = key_path;
    r->value_text = text;
    return r;
}

model::project_data viewer_project() {
    model::project_data p;
    p.app_name.app_name = "ビューア";
    p.dsp_mainfrm.frame_title = "ビューア セットアップ";
    p.act_info.register_uninstall = 1;
    p.hi_level_info.run_program = "[PROGRAM FILES]\\Vendor\\ビューア\\viewer.exe";
    for (auto [id, selected] : {std::pair{1, 1u}, std::pair{2, 0u}}) {
        auto c = std::make_shared<model::compo_file_object>();
        c->component_id = static_cast<std::int16_t>(id);
        c->component_name = id == 1 ? "本体" : "サンプル";
        c->selected = selected;
        p.files.component_map.insert_or_assign(static_cast<std::uint16_t>(id), c);
    }
    auto app = std::make_shared<model::folder_object>();
    app->folder_name = "ビューア";
    app->files.insert_or_assign(
        "viewer", file("viewer.exe", "[PROGRAM FILES]\\Vendor\\ビューア\\viewer.exe", "viewer.exe", 1));
    auto help = std::make_shared<model::folder_object>();
    help->folder_name = "表示";
    help->files.insert_or_assign(
        "help",
        file("viewer.hlp", "[PROGRAM FILES]\\Vendor\\ビューア\\表示\\viewer.hlp", "表示\\viewer.hlp", 1));
    help->files.insert_or_assign(
        "samples",
        file("samples.dat", "[PROGRAM FILES]\\Vendor\\ビューア\\表示\\samples.dat", "表示\\samples.dat", 2));
    app->subfolders.insert_or_assign("help", help);
    p.files.folders.insert_or_assign("app", app);
    p.files.files.insert_or_assign("dll", file("vwr.dll", "[SYSTEM]\\vwr.dll", "vwr.dll", 1));
    p.files.files.insert_or_assign("ini", file("vwr.ini", "[WINDOWS]\\vwr.ini", "vwr.ini", 1));
    p.files.files.insert_or_assign("font", file("vwr.ttf", "[WINDOWS]\\Fonts\\vwr.ttf", "vwr.ttf", 1));

    auto menu = std::make_shared<model::stmenu_folder_object>();
    menu->folder_name = "ビューア";
    menu->shortcuts.insert_or_assign(1,
                                     shortcut("ビューア", "[PROGRAM FILES]\\Vendor\\ビューア\\viewer.exe"));
    menu->shortcuts.insert_or_assign(
        0x20, shortcut("ヘルプ", "[PROGRAM FILES]\\Vendor\\ビューア\\表示\\viewer.hlp"));
    p.files.start_menu.child_folders.insert_or_assign(0x10, menu);
    auto programs = std::make_shared<model::stmenu_folder_object>();
    programs->folder_name = "プログラム";
    programs->shortcuts.insert_or_assign(
        1, shortcut("表示ビューア", "[PROGRAM FILES]\\Vendor\\ビューア\\viewer.exe"));
    p.files.start_menu.child_folders.insert_or_assign(0x20, programs);

    auto& reg = p.files.registry_entries;
    reg.insert_or_assign("owner",
                         value("HKEY_CURRENT_USER\\Software\\Vendor\\ビューア\\Owner", "%qorde_setup_user"));
    reg.insert_or_assign("org",
                         value("HKEY_CURRENT_USER\\Software\\Vendor\\ビューア\\Org", "%qorde_setup_group"));
    reg.insert_or_assign("path", value("HKEY_LOCAL_MACHINE\\Software\\Vendor\\ビューア\\Path",
                                       "[PROGRAM FILES]\\Vendor\\ビューア"));
    reg.insert_or_assign("shared",
                         value("HKEY_LOCAL_MACHINE\\Software\\Shared\\ViewerIni", "[WINDOWS]\\vwr.ini"));
    return p;
}

const std::map<std::string, std::string> sources{
    {"viewer.exe", std::string(6000, 'v') + "end"},
    {"viewer.hlp", "help\r\n"},
    {"samples.dat", std::string(3000, 's')},
    {"vwr.dll", std::string(2500, 'd')},
    {"vwr.ini", "[vwr]\r\n"},
    {"vwr.ttf", ""},
};

struct scenario {
    const char* what;
    std::vector<std::string> choices;  ///< --dest and --select as typed
    std::string app_folder;            ///< host path of the application's folder below the sandbox
    bool samples;                      ///< the unselected component is installed
    /// A file of another program where the project's own path names the viewer.
    std::string foreign_file;
};

class install_end_to_end : public scratch_test, public ::testing::WithParamInterface<scenario> {
protected:
    /// A sandbox as a user's machine has it: another program's registry values and uninstall entry.
    fs::path make_sandbox() {
        const fs::path sandbox = root / "machine";
        put("machine/machine.json", R"({"user_name": "taro"})");
        platform::host_system sys(sandbox);
        sys.create_key(platform::root_key::LocalMachine, "Software\\Shared");
        sys.set_value(platform::root_key::LocalMachine, "Software\\Shared", "Other", "theirs");
        sys.set_value(platform::root_key::LocalMachine, "Software\\Shared", "", "their default");
        const std::string other = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other";
        sys.create_key(platform::root_key::LocalMachine, other);
        sys.set_value(platform::root_key::LocalMachine, other, "DisplayName", "Other");
        if (!GetParam().foreign_file.empty()) put("machine/" + GetParam().foreign_file, "another program's");
        return sandbox;
    }
};

TEST_P(install_end_to_end, installs_as_planned_and_uninstalls_without_a_trace) {
    const auto& c = GetParam();
    const fs::path package = pack("pkg", viewer_project(), sources, {{"volume_size", 4000}});
    const fs::path sandbox = make_sandbox();
    const auto before = snapshot(sandbox);

    std::vector<std::string> options{package.string(),   "--root", sandbox.string(), "--user",
                                     utf8(u8"山田太郎"), "--org",  utf8(u8"開発部")};
    options.insert(options.end(), c.choices.begin(), c.choices.end());
    auto plan_args = options;
    plan_args.insert(plan_args.begin(), "plan");
    plan_args.push_back("--json");
    const auto planned = run_vrz(plan_args);
    ASSERT_EQ(planned.code, 0) << planned.err;
    const auto plan = nlohmann::json::parse(planned.out);
    EXPECT_EQ(snapshot(sandbox).files, before.files) << "plan changes nothing";

    auto install_args = options;
    install_args.insert(install_args.begin(), "install");
    const auto installed = run_vrz(install_args);
    ASSERT_EQ(installed.code, 0) << installed.out << installed.err;

    {
        platform::host_system sys(sandbox);
        // Every placement of the plan, in its order, is what the removal record lists.
        std::vector<std::string> copies;
        for (const auto& f : plan["files"]) {
            if (f["action"] != "copy") continue;
            copies.push_back(cp932(f["destination"]));
            auto mapped = sys.map_file(copies.back());
            ASSERT_TRUE(mapped) << f["destination"];
            const auto bytes = mapped->bytes();
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      sources.at(f["package_file"]));
        }
        EXPECT_EQ(copies.size(), c.samples ? 6u : 5u);
        const std::string kit_folder = cp932(plan["uninstall"]["folder"]);
        auto record_file = sys.map_file(kit_folder + install::removal_record::file_name);
        ASSERT_TRUE(record_file);
        std::vector<std::string> recorded;
        for (const auto& e : install::removal_record::parse(record_file->bytes()).entries)
            recorded.push_back(e.real_path);
        EXPECT_EQ(recorded, copies);

        int shortcuts = 0;
        for (const auto& item : plan["start_menu"]) {
            EXPECT_TRUE(sys.status(cp932(item["path"]))) << item["path"];
            shortcuts += item["kind"] == "shortcut";
        }
        EXPECT_EQ(shortcuts, 6) << "three shortcuts for each of two users";
        for (const auto& r : plan["registry"]) {
            const auto root = r["root"] == "HKEY_CURRENT_USER" ? platform::root_key::CurrentUser
                                                               : platform::root_key::LocalMachine;
            EXPECT_EQ(sys.query_value(root, cp932(r["key"]), cp932(r["name"])), cp932(r["data"])) << r;
        }
        EXPECT_EQ(sys.query_value(platform::root_key::CurrentUser, "Software\\Vendor\\ビューア", "Owner"),
                  "山田太郎");
        const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ビューア";
        EXPECT_EQ(sys.query_value(platform::root_key::LocalMachine, key, "UninstallString"),
                  cp932(plan["uninstall"]["values"]["UninstallString"]));
    }

    const auto removed = run_vrz({"uninstall", "--root", sandbox.string(), "--app", utf8(u8"ビューア")});
    EXPECT_EQ(removed.code, 0) << removed.out << removed.err;
    EXPECT_NE(removed.out.find(utf8(u8"ビューア はハードディスクから削除されました。")), std::string::npos)
        << removed.out;

    const auto after = snapshot(sandbox);
    EXPECT_EQ(after.registry, before.registry);
    EXPECT_EQ(difference(before.files, after.files), std::vector<std::string>{})
        << "nothing of the machine's is gone";
    std::vector<std::string> left{c.app_folder + "/qlun.exe", utf8(u8"C/WINDOWS/SYSTEM/vwr.dll"),
                                  utf8(u8"C/WINDOWS/TEMP/Setup.exe")};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(difference(after.files, before.files), left);

    const auto again =
        run_vrz({"uninstall", "--root", sandbox.string(), plan["uninstall"]["kit"][0].get<std::string>()});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.out.find(utf8(u8"このアプリケーションは既に削除されています。")), std::string::npos)
        << again.out;
}

INSTANTIATE_TEST_SUITE_P(
    scenarios, install_end_to_end,
    ::testing::Values(scenario{"project_paths", {}, utf8(u8"C/Program Files/Vendor/ビューア"), false, ""},
                      scenario{"chosen_folder_and_components",
                               {"--dest", "C:\\Tools\\Viewer\\", "--select", "1,2"},
                               "C/Tools/Viewer",
                               true,
                               utf8(u8"C/Program Files/Vendor/ビューア/viewer.exe")}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
