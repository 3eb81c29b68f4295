#include "install/install_plan.hpp"

#include <map>

#include "install/folder_macros.hpp"

namespace install {

namespace {

/// The machine's files as the run would leave them: the real status, overlaid with the
/// files that earlier placements of the plan have copied.
class planned_machine {
public:
    explicit planned_machine(platform::system& sys) : sys_(sys) {}

    std::optional<platform::file_status> status(const std::string& path) const {
        const auto it = placed_.find(path_key(path));
        if (it != placed_.end()) return it->second;
        return sys_.status(path);
    }

    /// A copy leaves a file of the project's size and times at path.
    void copy(const std::string& path, const model::file_object& f) {
        platform::file_status status = sys_.status(path).value_or(platform::file_status{});
        status.is_directory = false;
        status.size = static_cast<std::uint32_t>(f.file_size);
        if (auto t = to_local_time(f.created_stamp)) status.created = *t;
        if (auto t = to_local_time(f.modified_stamp)) status.last_write = *t;
        placed_[path_key(path)] = status;
    }

private:
    platform::system& sys_;
    std::map<std::string, platform::file_status> placed_;
};

std::string component_reason(std::int16_t id) {
    return "component " + std::to_string(id) + " is not selected";
}

}  // namespace

std::string_view action_name(plan_action action) {
    switch (action) {
        case plan_action::Copy:
            return "copy";
        case plan_action::SkipComponent:
            return "skip (component)";
        case plan_action::SkipOverwrite:
            return "skip (overwrite rule)";
    }
    return {};
}

install_plan make_install_plan(const model::project_data& project, const model::package_directory& directory,
                               const std::vector<plan_entry>& entries, platform::system& sys,
                               const std::string& destination_folder,
                               const std::optional<component_selection>& selection) {
    install_plan plan;
    plan.windows_directory = windows_directory(sys);
    plan.destination_folder = destination_folder;
    planned_machine machine(sys);
    placed_files placed;
    const component_selection* chosen = selection ? &*selection : nullptr;

    // The first packed file of each real name, in the directory's visiting order.
    std::map<std::string, std::string> packed_names;
    directory.for_each([&](const std::string&, const model::comp_file_object& c) {
        packed_names.try_emplace(c.real_name, c.packed_name);
    });

    for (const plan_entry& entry : entries) {
        const auto found = packed_names.find(entry.real_name);
        const std::string packed_name = found == packed_names.end() ? std::string() : found->second;
        bool used = false;
        for_each_candidate(
            project.files, entry.real_name,
            [&](const std::string& key, const model::file_object& f, file_origin origin,
                component_state state) {
                used = true;
                planned_file p;
                p.entry_number = entry.number;
                p.real_name = entry.real_name;
                p.packed_name = packed_name;
                p.entry_key = key;
                p.origin = origin;
                p.install_path = f.install_path;
                p.sub_path = f.sub_path;
                p.overwrite_mode = f.overwrite_mode;
                p.component_id = f.component_id;
                p.component = state;
                if (!component_installs(state)) {
                    p.action = plan_action::SkipComponent;
                    p.reason = component_reason(f.component_id);
                    plan.files.push_back(std::move(p));
                    return true;
                }
                const placement_target target =
                    placement_target_of(f, origin, destination_folder, plan.windows_directory);
                p.destination = target.destination;
                note_uninstall_source(plan.uninstall_source, f, destination_folder);
                p.verdict = decide_overwrite(f, machine.status(target.destination));
                if (p.verdict == overwrite_verdict::Copy) {
                    machine.copy(target.destination, f);
                    placed.add({key, f.install_path, target.destination});
                } else {
                    p.action = plan_action::SkipOverwrite;
                    p.reason = std::string(verdict_name(p.verdict));
                }
                plan.files.push_back(std::move(p));
                return true;
            },
            chosen);
        if (!used) plan.unused.push_back({entry.number, entry.real_name});
    }

    plan.record = placed.record();
    if (project.act_info.register_uninstall == 0) {
        plan.uninstall_note = "the project does not register an uninstall entry";
    } else if (plan.uninstall_source.empty()) {
        plan.uninstall_note = "no file is placed under [PROGRAM FILES] and no destination folder was chosen";
    } else {
        planned_uninstall_entry u;
        u.folder = uninstall_folder(plan.uninstall_source, destination_folder, plan.windows_directory);
        u.kit = {u.folder + "arkbs.vrz", u.folder + "qlun.exe", u.folder + removal_record::file_name};
        const std::string& app_name = project.app_name.app_name;
        if (!app_name.empty()) {
            u.key = uninstall_key(app_name);
            u.values = {{"DisplayName", app_name}, {"UninstallString", uninstall_command(u.folder)}};
        }
        plan.uninstall = std::move(u);
    }
    return plan;
}

}  // namespace install
