#include "install/installation.hpp"

#include <algorithm>
#include <utility>

#include "install/file_copy_engine.hpp"
#include "install/file_copy_messages.hpp"
#include "install/launch.hpp"
#include "install/preparation.hpp"

namespace install {

namespace {

installation_observer quiet_observer;

}  // namespace

std::string_view stage_name(installation_stage stage) {
    switch (stage) {
        case installation_stage::Preparation:
            return "preparation";
        case installation_stage::Copy:
            return "copy";
        case installation_stage::StartMenu:
            return "start menu";
        case installation_stage::Registry:
            return "registry";
        case installation_stage::Finish:
            return "finish";
    }
    return {};
}

std::string first_fixed_root(platform::system& sys) {
    const std::uint32_t drives = sys.logical_drives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const int type = sys.drive_type(root);
        if (type == platform::DriveFixed || type == platform::DriveUnknown ||
            type == platform::DriveNoRootDir) {
            return root;
        }
    }
    return {};
}

void apply_selection(model::project_data& project, const component_selection& selection) {
    project.files.component_map.for_each([&](std::uint16_t, model::compo_file_object& component) {
        component.selected = selection.count(component.component_id) ? 1u : 0u;
    });
}

/// The preparation's and the copy engine's window, passing on to the observer.
class installation::views : public preparation_view, public copy_view {
public:
    explicit views(installation_observer& observer) : observer_(observer) {}
    void set_progress(int) override {}
    void show_destination(const std::string& path) override { observer_.file_placed(path); }
    void show_failure_page() override { observer_.failure_page(); }

private:
    installation_observer& observer_;
};

installation::installation(platform::system& sys, platform::screen& screen, model::project_data project,
                           std::string package_folder, installation_choices choices,
                           installation_observer* observer)
    : sys_(sys),
      screen_(screen),
      project_(std::move(project)),
      package_folder_(std::move(package_folder)),
      choices_(std::move(choices)),
      observer_(observer ? observer : &quiet_observer) {
    if (choices_.selection) apply_selection(project_, *choices_.selection);
}

installation_report installation::run(const std::string& caption) {
    installation_report report;
    views window(*observer_);
    const auto fail = [&](installation_stage stage) {
        report.failed_stage = stage;
        return report;
    };

    observer_->stage_started(installation_stage::Preparation);
    package_preparation preparation(sys_, screen_, window, package_folder_);
    if (!preparation.read_volume_header(setup_caption)) {
        observer_->failure_page();
        return fail(installation_stage::Preparation);
    }
    preparation.find_folders();
    report.temp_folder = preparation.temp_folder();
    int position = 0;
    if (!preparation.copy_package(position)) {
        observer_->failure_page();
        preparation.delete_temp_files();
        return fail(installation_stage::Preparation);
    }

    observer_->stage_started(installation_stage::Copy);
    {
        file_copy_engine engine(sys_, screen_, window, project_, choices_.destination_folder);
        copy_next next = engine.start(caption);
        while (is_step(next)) {
            next = engine.run(next);
            if (const auto* extractor = engine.extractor()) {
                const int total = extractor->last_entry_number();
                observer_->copy_progress(std::min<int>(engine.entry_index(), total), total);
            }
        }
        report.placed = engine.placed_files().entries;
        if (next != copy_next::Finished) {
            // What the installer's view removes when its window goes after the failure page.
            engine.delete_temp_files();
            preparation.delete_temp_files();
            return fail(installation_stage::Copy);
        }
    }

    observer_->stage_started(installation_stage::StartMenu);
    start_menu_builder builder(sys_, first_fixed_root(sys_), choices_.destination_folder);
    report.start_menu = builder.create_start_menu_items(project_.files.start_menu);

    observer_->stage_started(installation_stage::Registry);
    registry_writer writer(sys_, choices_.user_name, choices_.organisation);
    report.registry = writer.write_registry_entries(project_.files);

    observer_->stage_started(installation_stage::Finish);
    report.restart_requested = project_.act_info.restart_windows != 0;
    if (!report.restart_requested && choices_.launch) {
        report.launched = launch_path(sys_, project_.hi_level_info);
        launch_program(sys_, project_.hi_level_info);
    }
    preparation.delete_temp_files();
    report.completed = true;
    return report;
}

}  // namespace install
