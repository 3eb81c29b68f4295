#include "uninstall/removal_engine.hpp"

#include <gtest/gtest.h>

#include "install/removal_record.hpp"
#include "install/start_menu_builder.hpp"
#include "tests/install/installation_sandbox.hpp"

namespace uninstall {
namespace {

using installation_test::file;
using installation_test::menu_folder;
using installation_test::registry_entry;
using installation_test::sandbox;
using installation_test::scripted_screen;
using installation_test::shortcut;
using platform::root_key;

const std::string app_folder = "C:\\Program Files\\App\\";
const std::string project_path = app_folder + "arkbs.vrz";

class recording_observer : public removal_observer {
public:
    explicit recording_observer(const scripted_screen& screen) : screen_(screen) {}
    int high = -1;
    std::vector<int> positions;
    /// How many message boxes had been shown when the window hid; -1 before.
    int boxes_when_hidden = -1;

    void progress_range(int h) override { high = h; }
    void progress_position(int position) override { positions.push_back(position); }
    void removal_ending() override { boxes_when_hidden = static_cast<int>(screen_.boxes.size()); }

private:
    const scripted_screen& screen_;
};

/// A sandbox with an installed kit: the project file and the uninstaller in the application's folder.
class removal_test : public testing::Test {
protected:
    void SetUp() override {
        project_.app_name.app_name = "App";
        box_.put(project_path, "project");
        box_.put(app_folder + "qlun.exe", "uninstaller");
        box_.sys().set_attributes(app_folder + "qlun.exe",
                                  platform::ReadOnly | platform::Hidden | platform::Archive);
    }

    /// Runs the whole chain and returns the timers in the order they ran.
    std::vector<removal_timer> run_chain(removal_observer* observer = nullptr) {
        removal_engine engine(box_.sys(), screen_, project_, project_path, observer);
        std::vector<removal_timer> ran;
        for (auto next = engine.begin_removal(); next != removal_timer::None && ran.size() < 1000;
             next = engine.run_timer(static_cast<int>(next))) {
            ran.push_back(next);
        }
        return ran;
    }

    void write_record(const install::removal_record& record) {
        box_.put(app_folder + install::removal_record::file_name, record.serialize());
        box_.sys().set_attributes(app_folder + install::removal_record::file_name, platform::Hidden);
    }

    std::vector<std::string> error_texts() const {
        std::vector<std::string> out;
        for (const auto& b : screen_.boxes) {
            if (b.caption == error_caption) {
                EXPECT_EQ(b.flags, platform::MbOk | platform::MbIconStop);
                out.push_back(b.text);
            }
        }
        return out;
    }

    /// The deletions after the project file's.
    std::vector<std::string> file_deletions() {
        auto d = box_.sys().deletions;
        EXPECT_FALSE(d.empty());
        if (!d.empty()) d.erase(d.begin());
        return d;
    }

    sandbox box_;
    scripted_screen screen_;
    model::project_data project_;
};

TEST_F(removal_test, the_chain_runs_one_tick_per_file_and_the_bar_runs_down) {
    project_.files.files.insert_or_assign("a", file("a.exe", "[PROGRAM FILES]\\App\\a.exe"));
    auto folder = std::make_shared<model::folder_object>();
    folder->files.insert_or_assign("b", file("b.dll", "[PROGRAM FILES]\\App\\b.dll"));
    project_.files.folders.insert_or_assign("f", folder);
    box_.put(app_folder + "a.exe");
    box_.put(app_folder + "b.dll");
    recording_observer observer(screen_);

    using t = removal_timer;
    EXPECT_EQ(run_chain(&observer), (std::vector<t>{t::ProjectFile, t::Files, t::Files, t::Files,
                                                    t::StartMenu, t::Registry, t::Finish}));
    EXPECT_EQ(observer.high, 6);
    EXPECT_EQ(observer.positions, (std::vector<int>{6, 5, 4, 3, 2, 1, 0, -1}));
    ASSERT_EQ(screen_.boxes.size(), 1u);
    EXPECT_EQ(screen_.boxes[0],
              (scripted_screen::box{"App はハードディスクから削除されました。", "Uninstall", 0}));
    EXPECT_EQ(observer.boxes_when_hidden, 0) << "the window hides before the completion message";
    EXPECT_FALSE(box_.exists(project_path));
    EXPECT_FALSE(box_.exists(app_folder + "a.exe"));
    EXPECT_FALSE(box_.exists(app_folder + "b.dll"));
    EXPECT_TRUE(box_.exists(app_folder + "qlun.exe")) << "the uninstaller's own file stays";
    EXPECT_TRUE(box_.is_folder(app_folder));
}

TEST_F(removal_test, a_project_without_files_still_runs_every_stage) {
    recording_observer observer(screen_);
    using t = removal_timer;
    EXPECT_EQ(run_chain(&observer),
              (std::vector<t>{t::ProjectFile, t::Files, t::StartMenu, t::Registry, t::Finish}));
    EXPECT_EQ(observer.high, 4);
    EXPECT_EQ(observer.positions.back(), -1);
    EXPECT_FALSE(box_.exists(project_path));
    EXPECT_EQ(screen_.boxes.size(), 1u);
}

TEST_F(removal_test, run_timer_ignores_other_ids) {
    removal_engine engine(box_.sys(), screen_, project_, project_path);
    engine.begin_removal();
    EXPECT_EQ(engine.run_timer(1031), removal_timer::None);
    EXPECT_EQ(engine.progress_counter(), 4) << "no tick";
    EXPECT_TRUE(box_.exists(project_path));
}

TEST_F(removal_test, gathers_every_file_once_per_key_in_map_order) {
    project_.files.files.insert_or_assign("a", file("a", "[ROOT]\\loose_a"));
    project_.files.files.insert_or_assign("same", file("s", "[ROOT]\\loose_same"));
    auto top = std::make_shared<model::folder_object>();
    top->files.insert_or_assign("same", file("s", "[ROOT]\\folder_same"));
    auto sub = std::make_shared<model::folder_object>();
    sub->files.insert_or_assign("c", file("c", "[ROOT]\\sub_c"));
    top->subfolders.insert_or_assign("sub", sub);
    project_.files.folders.insert_or_assign("top", top);

    removal_engine engine(box_.sys(), screen_, project_, project_path);
    engine.gather_files();
    std::vector<std::pair<std::string, std::string>> gathered;
    engine.gathered_files().for_each([&](const std::string& key, const model::file_object& f) {
        gathered.emplace_back(key, f.install_path);
    });
    std::vector<std::pair<std::string, std::string>> expected{
        {"a", "[ROOT]\\loose_a"}, {"same", "[ROOT]\\folder_same"}, {"c", "[ROOT]\\sub_c"}};
    std::sort(expected.begin(), expected.end(), [](const auto& l, const auto& r) {
        return model::bucket_of(l.first) < model::bucket_of(r.first);
    });
    EXPECT_EQ(gathered, expected);
    EXPECT_EQ(engine.begin_removal(), removal_timer::ProjectFile);
    EXPECT_EQ(engine.progress_high(), 7);
}

struct fallback_case {
    const char* what;
    std::string install_path;
    std::string real_path;  ///< where the file lies
    bool deleted;
};

class fallback_deletion : public removal_test, public testing::WithParamInterface<fallback_case> {};

TEST_P(fallback_deletion, follows_the_macros_of_the_install_path) {
    const auto& c = GetParam();
    project_.files.files.insert_or_assign("f", file("f", c.install_path));
    box_.put(c.real_path);
    run_chain();
    EXPECT_EQ(box_.exists(c.real_path), !c.deleted);
    EXPECT_EQ(file_deletions(),
              c.deleted ? std::vector<std::string>{c.real_path} : std::vector<std::string>{});
    EXPECT_TRUE(error_texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    cases, fallback_deletion,
    testing::Values(fallback_case{"program_files", "[PROGRAM FILES]\\App\\a.exe",
                                  "C:\\Program Files\\App\\a.exe", true},
                    fallback_case{"windows", "[WINDOWS]\\app.ini", "C:\\WINDOWS\\app.ini", true},
                    fallback_case{"winsys", "[WINSYS]\\x.dll", "C:\\WINDOWS\\SYSTEM\\x.dll", true},
                    fallback_case{"system_is_left", "[SYSTEM]\\x.dll", "C:\\WINDOWS\\SYSTEM\\x.dll", false},
                    fallback_case{"root", "[ROOT]\\Tools\\t.exe", "C:\\Tools\\t.exe", true},
                    fallback_case{"full_path_is_left", "C:\\Apps\\a.exe", "C:\\Apps\\a.exe", false},
                    fallback_case{"lower_case_is_left", "[windows]\\b.ini", "C:\\WINDOWS\\b.ini", false}),
    [](const testing::TestParamInfo<fallback_case>& info) { return std::string(info.param.what); });

TEST_F(removal_test, without_a_record_each_replacement_that_changes_the_path_deletes_it) {
    removal_engine engine(box_.sys(), screen_, project_, project_path);
    engine.begin_removal();
    const auto deletions = engine.deletions_for("k", *file("k", "[WINDOWS]\\[WINSYS]"));
    ASSERT_EQ(deletions.size(), 2u);
    EXPECT_EQ(deletions[0].path, "C:\\WINDOWS\\[WINSYS]");
    EXPECT_EQ(deletions[1].path, "C:\\WINDOWS\\C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(deletions[0].reported_name, untitled_file_name);
}

TEST_F(removal_test, a_record_deletes_exactly_the_placed_files_where_they_were_placed) {
    // The user chose C:\Tools\App: the project's own paths name other files.
    project_.files.files.insert_or_assign("a", file("a", "[PROGRAM FILES]\\App\\a.exe", "bin\\a.exe"));
    auto f1 = std::make_shared<model::folder_object>();
    f1->files.insert_or_assign("dup", file("d1", "[PROGRAM FILES]\\App\\one\\d.txt", "one\\d.txt"));
    auto f2 = std::make_shared<model::folder_object>();
    f2->files.insert_or_assign("dup", file("d2", "[PROGRAM FILES]\\App\\two\\d.txt", "two\\d.txt"));
    f2->files.insert_or_assign("unselected", file("u", "[PROGRAM FILES]\\App\\u.txt", "u.txt"));
    f2->files.insert_or_assign("shared", file("s", "[SYSTEM]\\shared.dll"));
    project_.files.folders.insert_or_assign("f1", f1);
    project_.files.folders.insert_or_assign("f2", f2);

    install::removal_record record;
    record.entries = {{"a", "[PROGRAM FILES]\\App\\a.exe", "C:\\Tools\\App\\bin\\a.exe"},
                      {"dup", "[PROGRAM FILES]\\App\\one\\d.txt", "C:\\Tools\\App\\one\\d.txt"},
                      {"dup", "[PROGRAM FILES]\\App\\two\\d.txt", "C:\\Tools\\App\\two\\d.txt"},
                      {"shared", "[SYSTEM]\\shared.dll", "C:\\WINDOWS\\SYSTEM\\shared.dll"}};
    write_record(record);
    for (const auto& e : record.entries) box_.put(e.real_path);
    // Files the installer did not place, at the paths the project names.
    box_.put("C:\\Program Files\\App\\a.exe", "another program's");
    box_.put("C:\\Program Files\\App\\u.txt", "another program's");

    removal_engine engine(box_.sys(), screen_, project_, project_path);
    engine.begin_removal();
    EXPECT_TRUE(engine.has_removal_record());
    for (auto next = removal_timer::ProjectFile; next != removal_timer::None;) {
        next = engine.run_timer(static_cast<int>(next));
    }
    EXPECT_FALSE(box_.exists("C:\\Tools\\App\\bin\\a.exe"));
    EXPECT_FALSE(box_.exists("C:\\Tools\\App\\one\\d.txt"));
    EXPECT_FALSE(box_.exists("C:\\Tools\\App\\two\\d.txt"));
    EXPECT_TRUE(box_.exists("C:\\WINDOWS\\SYSTEM\\shared.dll"));
    EXPECT_TRUE(box_.exists("C:\\Program Files\\App\\a.exe"));
    EXPECT_TRUE(box_.exists("C:\\Program Files\\App\\u.txt"));
    EXPECT_FALSE(box_.exists(engine.removal_record_path())) << "the record goes with its files";
    EXPECT_TRUE(error_texts().empty());
}

TEST_F(removal_test, recorded_files_of_keys_the_project_no_longer_has_go_at_the_end) {
    project_.files.files.insert_or_assign("a", file("a", "[PROGRAM FILES]\\App\\a.exe"));
    write_record(install::removal_record{{{"a", "[PROGRAM FILES]\\App\\a.exe", app_folder + "a.exe"},
                                          {"old", "[PROGRAM FILES]\\App\\old.dll", app_folder + "old.dll"},
                                          {"oldsys", "[SYSTEM]\\old.dll", "C:\\WINDOWS\\SYSTEM\\old.dll"}}});
    for (const auto* name : {"a.exe", "old.dll"}) box_.put(app_folder + name);
    box_.put("C:\\WINDOWS\\SYSTEM\\old.dll");
    const auto ran = run_chain();
    EXPECT_EQ(ran.size(), 6u) << "no tick of its own";
    EXPECT_FALSE(box_.exists(app_folder + "a.exe"));
    EXPECT_FALSE(box_.exists(app_folder + "old.dll"));
    EXPECT_TRUE(box_.exists("C:\\WINDOWS\\SYSTEM\\old.dll"));
    EXPECT_EQ(file_deletions(), (std::vector<std::string>{app_folder + "a.exe", app_folder + "old.dll",
                                                          app_folder + install::removal_record::file_name}));
    EXPECT_TRUE(error_texts().empty());
}

TEST_F(removal_test, an_unreadable_record_counts_as_none) {
    box_.put(app_folder + install::removal_record::file_name, "not a record");
    project_.files.files.insert_or_assign("a", file("a", "[PROGRAM FILES]\\App\\a.exe"));
    box_.put(app_folder + "a.exe");
    removal_engine engine(box_.sys(), screen_, project_, project_path);
    engine.begin_removal();
    EXPECT_FALSE(engine.has_removal_record());
    EXPECT_EQ(engine.deletions_for("a", *file("a", "[PROGRAM FILES]\\App\\a.exe")),
              (std::vector<planned_deletion>{{app_folder + "a.exe", untitled_file_name}}));
}

TEST_F(removal_test, failed_deletions_are_reported_and_the_chain_goes_on) {
    ASSERT_EQ(box_.sys().delete_file(project_path), platform::file_error::None);
    // "a" to "d" fall into buckets 12 to 15 and are visited in that order.
    project_.files.files.insert_or_assign("a", file("a", "[PROGRAM FILES]\\App\\gone.exe"));
    project_.files.files.insert_or_assign("b", file("b", "[PROGRAM FILES]\\App\\locked.exe"));
    project_.files.files.insert_or_assign("c", file("c", "[PROGRAM FILES]\\Nowhere\\x.exe"));
    project_.files.files.insert_or_assign("d", file("d", "[PROGRAM FILES]\\App\\fine.exe"));
    box_.put(app_folder + "locked.exe");
    box_.sys().set_attributes(app_folder + "locked.exe", platform::ReadOnly);
    box_.put(app_folder + "fine.exe");
    project_.files.registry_entries.insert_or_assign(
        "r", registry_entry("HKEY_CURRENT_USER\\Software\\App\\V", "x"));
    box_.sys().create_key(root_key::CurrentUser, "Software\\App");
    box_.sys().set_value(root_key::CurrentUser, "Software\\App", "V", "x");

    const auto ran = run_chain();
    EXPECT_EQ(ran.size(), 9u);
    EXPECT_EQ(error_texts(),
              (std::vector<std::string>{
                  "無題のﾌｧｲﾙ が見つかりませんでした。", "無題のﾌｧｲﾙ が見つかりませんでした。",
                  "無題のﾌｧｲﾙ へのｱｸｾｽは拒否されました。", "無題のﾌｧｲﾙ には無効なﾊﾟｽが含まれています。"}));
    EXPECT_FALSE(box_.exists(app_folder + "fine.exe"));
    EXPECT_TRUE(box_.exists(app_folder + "locked.exe"));
    EXPECT_FALSE(box_.sys().key_exists(root_key::CurrentUser, "Software\\App")) << "the registry stage ran";
    EXPECT_EQ(screen_.boxes.back().caption, "Uninstall");
}

TEST_F(removal_test, a_recorded_file_that_cannot_be_deleted_is_named) {
    project_.files.files.insert_or_assign("a", file("a", "[PROGRAM FILES]\\App\\a.exe"));
    write_record(install::removal_record{{{"a", "[PROGRAM FILES]\\App\\a.exe", "C:\\Tools\\a.exe"}}});
    box_.folders("C:\\Tools");
    run_chain();
    EXPECT_EQ(error_texts(), std::vector<std::string>{"C:\\Tools\\a.exe が見つかりませんでした。"});
}

TEST(file_error_message, names_the_cause) {
    using platform::file_error;
    EXPECT_EQ(file_error_message(file_error::SharingViolation, "x"),
              "x へのｱｸｾｽ中に共有違反が発生しました。");
    EXPECT_EQ(file_error_message(file_error::DiskFull, "x"), "x へのｱｸｾｽ中に不明なｴﾗｰが発生しました。");
    EXPECT_EQ(file_error_message(file_error::Other, "x"), "x へのｱｸｾｽ中に不明なｴﾗｰが発生しました。");
}

model::startup_menu_files removal_menu() {
    model::startup_menu_files menu;
    menu.shortcuts.insert_or_assign(1, shortcut("Top", "[PROGRAM FILES]\\App\\a.exe"));
    auto tools = menu_folder("ツール");
    tools->shortcuts.insert_or_assign(1, shortcut("Tool", "[PROGRAM FILES]\\App\\t.exe"));
    auto deeper = menu_folder("Deeper");
    deeper->shortcuts.insert_or_assign(1, shortcut("Deep", "[PROGRAM FILES]\\App\\d.exe"));
    tools->child_folders.insert_or_assign(1, deeper);
    menu.child_folders.insert_or_assign(0x10, tools);
    auto programs = menu_folder("プログラム");
    programs->shortcuts.insert_or_assign(1, shortcut("Direct", "[PROGRAM FILES]\\App\\x.exe"));
    menu.child_folders.insert_or_assign(0x20, programs);
    return menu;
}

TEST_F(removal_test, removes_the_start_menu_tree_from_both_programs_folders) {
    project_.files.start_menu = removal_menu();
    install::start_menu_builder(box_.sys(), "C:\\", "").create_start_menu_items(project_.files.start_menu);
    const std::string user = installation_test::user_programs;
    const std::string base = installation_test::default_programs;
    ASSERT_TRUE(box_.exists(user + "\\ツール\\Deeper\\Deep.lnk"));
    // The user has put a shortcut of their own into the default user's folder.
    box_.put(base + "\\ツール\\Mine.lnk", "user's");

    run_chain();
    EXPECT_TRUE(error_texts().empty());
    for (const auto& p : {user, base}) {
        EXPECT_FALSE(box_.exists(p + "\\Top.lnk")) << p;
        EXPECT_FALSE(box_.exists(p + "\\Direct.lnk")) << p;
        EXPECT_FALSE(box_.exists(p + "\\ツール\\Tool.lnk")) << p;
        EXPECT_FALSE(box_.exists(p + "\\ツール\\Deeper")) << p;
        EXPECT_TRUE(box_.is_folder(p)) << "the Programs folder itself stays";
    }
    EXPECT_FALSE(box_.exists(user + "\\ツール"));
    EXPECT_TRUE(box_.exists(base + "\\ツール\\Mine.lnk"));
}

TEST_F(removal_test, a_shortcut_that_cannot_be_deleted_ends_the_start_menu_stage_once) {
    project_.files.start_menu = removal_menu();
    install::start_menu_builder(box_.sys(), "C:\\", "").create_start_menu_items(project_.files.start_menu);
    const std::string locked = installation_test::user_programs + "\\ツール\\Tool.lnk";
    box_.sys().set_attributes(locked, platform::ReadOnly);
    project_.files.registry_entries.insert_or_assign(
        "r", registry_entry("HKEY_CURRENT_USER\\Software\\App\\V", "x"));
    box_.sys().create_key(root_key::CurrentUser, "Software\\App");
    box_.sys().set_value(root_key::CurrentUser, "Software\\App", "V", "x");

    removal_engine engine(box_.sys(), screen_, project_, project_path);
    engine.begin_removal();
    engine.run_timer(1025);
    ASSERT_EQ(engine.run_timer(1026), removal_timer::StartMenu);
    EXPECT_EQ(engine.run_timer(1027), removal_timer::Registry);
    EXPECT_EQ(error_texts(), std::vector<std::string>{"無題のﾌｧｲﾙ へのｱｸｾｽは拒否されました。"});
    EXPECT_TRUE(box_.exists(locked));
    EXPECT_EQ(engine.run_timer(1028), removal_timer::Finish);
    EXPECT_FALSE(box_.sys().key_exists(root_key::CurrentUser, "Software\\App"));
    EXPECT_EQ(engine.run_timer(1029), removal_timer::None);
    EXPECT_EQ(error_texts().size(), 1u);
}

TEST_F(removal_test, registry_removal_keeps_other_programs_values_and_removes_empty_keys) {
    auto& sys = box_.sys();
    const auto set = [&](root_key root, const std::string& key, const std::string& name,
                         const std::string& data) {
        ASSERT_TRUE(sys.create_key(root, key));
        ASSERT_TRUE(sys.set_value(root, key, name, data));
    };
    set(root_key::LocalMachine, "Software\\Shared", "Other", "theirs");
    set(root_key::LocalMachine, "Software\\Shared", "", "their default");
    set(root_key::LocalMachine, "Software\\Shared", "Mine", "ours");
    set(root_key::CurrentUser, "Software\\Maker\\App\\Sub", "Owner", "taro");
    set(root_key::CurrentUser, "Software\\Maker\\App", "Dir", "C:\\App");
    set(root_key::CurrentUser, "Software\\Solo", "", "unnamed");
    set(root_key::CurrentUser, "Software\\Keep", "Other", "x");
    set(root_key::LocalMachine, "Flag", "", "x");
    set(root_key::LocalMachine, "Flag2", "", "x");
    const std::string uninstall_list = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    set(root_key::LocalMachine, uninstall_list + "\\App", "DisplayName", "App");
    set(root_key::LocalMachine, uninstall_list + "\\App", "UninstallString", "x");
    set(root_key::LocalMachine, uninstall_list + "\\Other", "DisplayName", "Other");

    auto& entries = project_.files.registry_entries;
    entries.insert_or_assign("1", registry_entry("HKEY_LOCAL_MACHINE\\Software\\Shared\\Mine", "ours"));
    entries.insert_or_assign("2", registry_entry("HKEY_CURRENT_USER\\Software\\Maker\\App\\Sub\\Owner", "x"));
    entries.insert_or_assign("3", registry_entry("HKEY_CURRENT_USER\\Software\\Maker\\App\\Dir", "x"));
    entries.insert_or_assign("4", registry_entry("HKEY_CURRENT_USER\\Software\\Solo\\", "x"));
    entries.insert_or_assign("5", registry_entry("HKEY_CURRENT_USER\\Software\\Gone\\V", "x"));
    entries.insert_or_assign("6", registry_entry("HKEY_CLASSES_ROOT\\.app\\", "x"));
    entries.insert_or_assign("7", registry_entry("HKEY_LOCAL_MACHINE\\Flag2", "x"));

    removal_engine engine(sys, screen_, project_, project_path);
    engine.begin_removal();
    engine.remove_registry_entries();

    EXPECT_EQ(sys.query_value(root_key::LocalMachine, "Software\\Shared", "Other"), "theirs");
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, "Software\\Shared", ""), "their default");
    EXPECT_FALSE(sys.query_value(root_key::LocalMachine, "Software\\Shared", "Mine"));
    EXPECT_FALSE(sys.key_exists(root_key::CurrentUser, "Software\\Maker"));
    EXPECT_FALSE(sys.key_exists(root_key::CurrentUser, "Software\\Solo"));
    EXPECT_TRUE(sys.key_exists(root_key::CurrentUser, "Software\\Keep"));
    EXPECT_TRUE(sys.key_exists(root_key::CurrentUser, "Software"));
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, "Flag", ""), "x")
        << "only the named value of the root key";
    EXPECT_FALSE(sys.query_value(root_key::LocalMachine, "", "Flag2"));
    EXPECT_FALSE(sys.key_exists(root_key::LocalMachine, uninstall_list + "\\App"));
    EXPECT_TRUE(sys.key_exists(root_key::LocalMachine, uninstall_list + "\\Other"));
    EXPECT_TRUE(screen_.boxes.empty());
}

TEST_F(removal_test, without_an_application_name_the_uninstall_list_is_left_alone) {
    project_.app_name.app_name.clear();
    auto& sys = box_.sys();
    const std::string uninstall_list = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    ASSERT_TRUE(sys.create_key(root_key::LocalMachine, uninstall_list));
    ASSERT_TRUE(sys.set_value(root_key::LocalMachine, uninstall_list, "", "x"));
    removal_engine engine(sys, screen_, project_, project_path);
    engine.begin_removal();
    engine.remove_registry_entries();
    EXPECT_EQ(sys.query_value(root_key::LocalMachine, uninstall_list, ""), "x");
}

}  // namespace
}  // namespace uninstall
