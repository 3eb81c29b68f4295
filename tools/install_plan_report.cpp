#include "tools/install_plan_report.hpp"

#include <cstdio>
#include <ostream>

#include "install/folder_macros.hpp"
#include "install/launch.hpp"
#include "package/temp_folder.hpp"
#include "tools/package_files.hpp"
#include "tools/project_json.hpp"

namespace tools {

namespace {

using ordered = nlohmann::ordered_json;

std::string shown(const std::string& cp932) { return display_text(cp932); }

ordered text(const std::string& cp932) { return ordered(text_to_json(cp932)); }

std::string_view origin_name(install::file_origin origin) {
    return origin == install::file_origin::FilesMap ? "files" : "folder";
}

std::string_view component_name(install::component_state state) {
    switch (state) {
        case install::component_state::Selected:
            return "selected";
        case install::component_state::Unselected:
            return "unselected";
        case install::component_state::NotInMap:
            return "not_in_map";
    }
    return {};
}

std::string_view action_key(install::plan_action action) {
    switch (action) {
        case install::plan_action::Copy:
            return "copy";
        case install::plan_action::SkipComponent:
            return "skip_component";
        case install::plan_action::SkipOverwrite:
            return "skip_overwrite";
    }
    return {};
}

std::string hex16(std::uint16_t value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04X", value);
    return buffer;
}

}  // namespace

std::string registry_value_path(const install::registry_value_location& location) {
    std::string path(install::root_key_name(location.root));
    if (!location.sub_key.empty()) path += "\\" + location.sub_key;
    return path + "\\" + location.value_name;
}

installation_plan make_installation_plan(const model::project_data& project, const package_folder& package,
                                         platform::system& sys,
                                         const install::installation_choices& choices) {
    installation_plan plan;
    plan.app_name = project.app_name.app_name;
    plan.temp_folder = package::temp_folder(sys);
    plan.first_fixed_root = install::first_fixed_root(sys);
    plan.problems = package.problems;

    std::vector<install::plan_entry> entries;
    for (const auto& entry : package.contents.entries) {
        if (entry.object) entries.push_back({entry.number, entry.object->real_name});
    }
    plan.files = install::make_install_plan(project, package.contents.directory, entries, sys,
                                            choices.destination_folder, choices.selection);

    install::start_menu_builder builder(sys, plan.first_fixed_root, choices.destination_folder);
    plan.start_menu = builder.plan_start_menu_items(project.files.start_menu);
    install::registry_writer writer(sys, choices.user_name, choices.organisation);
    plan.registry = writer.plan_registry_entries(project.files);

    plan.restart = project.act_info.restart_windows != 0;
    plan.run_program = install::launch_path(sys, project.hi_level_info);
    return plan;
}

nlohmann::ordered_json plan_to_json(const installation_plan& plan) {
    ordered j;
    j["application"] = text(plan.app_name);
    j["machine"] = {{"windows_directory", text(plan.files.windows_directory)},
                    {"temp_folder", text(plan.temp_folder)},
                    {"first_fixed_root", text(plan.first_fixed_root)}};
    j["destination_folder"] = text(plan.files.destination_folder);
    j["problems"] = ordered::array();
    for (const auto& p : plan.problems) j["problems"].push_back(p);

    j["files"] = ordered::array();
    for (const auto& f : plan.files.files) {
        ordered e;
        e["entry"] = f.entry_number;
        e["package_file"] = text(f.real_name);
        e["packed_name"] = text(f.packed_name);
        e["key"] = text(f.entry_key);
        e["origin"] = origin_name(f.origin);
        e["install_path"] = text(f.install_path);
        e["sub_path"] = text(f.sub_path);
        e["component"] = f.component_id;
        e["component_state"] = component_name(f.component);
        e["overwrite_mode"] = f.overwrite_mode;
        e["action"] = action_key(f.action);
        e["destination"] = text(f.destination);
        e["reason"] = f.reason;
        j["files"].push_back(std::move(e));
    }
    j["unused"] = ordered::array();
    for (const auto& u : plan.files.unused)
        j["unused"].push_back(ordered{{"entry", u.entry_number}, {"package_file", text(u.real_name)}});

    if (plan.files.uninstall) {
        const auto& u = *plan.files.uninstall;
        ordered entry;
        entry["folder"] = text(u.folder);
        entry["kit"] = ordered::array();
        for (const auto& k : u.kit) entry["kit"].push_back(text(k));
        entry["key"] = u.key.empty() ? ordered(nullptr) : text("HKEY_LOCAL_MACHINE\\" + u.key);
        entry["values"] = ordered::object();
        for (const auto& [name, value] : u.values) entry["values"][name] = text(value);
        j["uninstall"] = std::move(entry);
    } else {
        j["uninstall"] = nullptr;
    }
    j["uninstall_note"] = plan.files.uninstall_note;

    j["start_menu"] = ordered::array();
    for (const auto& item : plan.start_menu) {
        ordered e;
        if (item.kind == install::start_menu_item::item_kind::Folder) {
            e["kind"] = "folder";
            e["path"] = text(item.path);
        } else {
            const auto& l = item.link;
            e["kind"] = "shortcut";
            e["path"] = text(item.path);
            e["target"] = text(l.target);
            e["arguments"] = text(l.arguments);
            e["description"] = text(l.description);
            e["icon_path"] = text(l.icon_path);
            e["icon_index"] = l.icon_index;
            e["working_directory"] = text(l.working_directory);
            e["show_command"] = l.show_command;
            e["hot_key"] = l.hot_key;
        }
        j["start_menu"].push_back(std::move(e));
    }
    j["registry"] = ordered::array();
    for (const auto& r : plan.registry) {
        j["registry"].push_back({{"root", std::string(install::root_key_name(r.location.root))},
                                 {"key", text(r.location.sub_key)},
                                 {"name", text(r.location.value_name)},
                                 {"data", text(r.data)}});
    }
    j["finish"] = {{"restart", plan.restart},
                   {"run_program",
                    plan.restart || plan.run_program.empty() ? ordered(nullptr) : text(plan.run_program)}};
    return j;
}

void print_start_menu(const std::vector<install::start_menu_item>& items, std::ostream& out) {
    out << "Start menu\n";
    if (items.empty()) out << "  nothing\n";
    for (const auto& item : items) {
        if (item.kind == install::start_menu_item::item_kind::Folder) {
            out << "  folder    " << shown(item.path) << "\n";
            continue;
        }
        const auto& l = item.link;
        out << "  shortcut  " << shown(item.path) << "\n";
        out << "            target " << shown(l.target);
        if (!l.arguments.empty()) out << "  arguments " << shown(l.arguments);
        out << "\n            working folder " << shown(l.working_directory) << "  icon "
            << shown(l.icon_path) << "," << l.icon_index << "  show " << l.show_command << "  hot key "
            << hex16(l.hot_key) << "\n";
        if (!l.description.empty()) out << "            description " << shown(l.description) << "\n";
    }
}

void print_registry(const std::vector<install::registry_write>& values, std::ostream& out) {
    out << "Registry\n";
    if (values.empty()) out << "  nothing\n";
    for (const auto& v : values) {
        out << "  " << shown(registry_value_path(v.location)) << " = \"" << shown(v.data) << "\"\n";
    }
}

void print_plan(const installation_plan& plan, std::ostream& out) {
    const auto& files = plan.files;
    out << "Plan for " << shown(plan.app_name) << "\n";
    out << "  Windows folder    " << shown(files.windows_directory) << "\n";
    out << "  temporary folder  " << shown(plan.temp_folder) << "\n";
    out << "  destination       "
        << (files.destination_folder.empty() ? std::string("(the project's own paths)")
                                             : shown(files.destination_folder))
        << "\n";
    for (const auto& p : plan.problems) out << "  problem: " << p << "\n";

    out << "Files\n";
    if (files.files.empty() && files.unused.empty()) out << "  nothing\n";
    std::uint32_t entry = 0;
    std::size_t unused = 0;
    const auto print_unused_before = [&](std::uint32_t number) {
        for (; unused < files.unused.size() && files.unused[unused].entry_number < number; ++unused) {
            out << "  entry " << files.unused[unused].entry_number << " "
                << shown(files.unused[unused].real_name)
                << ": no file entry takes it (decoded and deleted again)\n";
        }
    };
    for (const auto& f : files.files) {
        if (f.entry_number != entry) {
            print_unused_before(f.entry_number);
            entry = f.entry_number;
            out << "  entry " << entry << " " << shown(f.real_name) << "\n";
        }
        const std::string where = std::string(origin_name(f.origin)) + " key " + shown(f.entry_key);
        if (f.action == install::plan_action::Copy) {
            out << "    copy  " << shown(f.destination) << "   [" << where << "]\n";
        } else {
            out << "    skip  " << shown(f.install_path) << ": " << f.reason << "   [" << where << "]\n";
        }
    }
    print_unused_before(0xFFFFFFFFu);

    out << "Uninstall entry\n";
    if (!files.uninstall) {
        out << "  none: " << files.uninstall_note << "\n";
    } else {
        const auto& u = *files.uninstall;
        out << "  folder  " << shown(u.folder) << "\n";
        for (const auto& k : u.kit) out << "  kit     " << shown(k) << "\n";
        if (u.key.empty()) {
            out << "  no key: the project has no application name\n";
        } else {
            out << "  key     HKEY_LOCAL_MACHINE\\" << shown(u.key) << "\n";
            for (const auto& [name, value] : u.values) out << "    " << name << " = " << shown(value) << "\n";
        }
    }
    print_start_menu(plan.start_menu, out);
    print_registry(plan.registry, out);
    out << "Finish\n";
    if (plan.restart) {
        out << "  restart Windows (vrz install does not)\n";
    } else if (!plan.run_program.empty()) {
        out << "  start " << shown(plan.run_program) << " (vrz install does not)\n";
    } else {
        out << "  nothing to start\n";
    }
}

}  // namespace tools
