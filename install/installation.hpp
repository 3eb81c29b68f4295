#pragma once
// A whole installation without windows: the preparation of the package into the temporary
// folder, the copy engine, the Start-menu step and the registry step, in the installer's
// order, with the choices that the wizard pages would collect given beforehand. The vrz
// tool runs it on the host sandbox; the questions go to the screen given.

#include <optional>
#include <string>
#include <vector>

#include "install/placement.hpp"
#include "install/registry_writer.hpp"
#include "install/removal_record.hpp"
#include "install/start_menu_builder.hpp"
#include "model/project_data.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"

namespace install {

/// What the wizard pages would collect.
struct installation_choices {
    /// D: the destination folder without a trailing backslash; "" for the project's own paths.
    std::string destination_folder;
    /// The components to install instead of the project's own `selected` flags.
    std::optional<component_selection> selection;
    std::string user_name;
    std::string organisation;
    /// Start the project's run_program at the end (never when the project asks for a restart).
    bool launch = false;
};

/// The stages of a run, in order.
enum class installation_stage { Preparation, Copy, StartMenu, Registry, Finish };

/// Short English name of a stage.
std::string_view stage_name(installation_stage stage);

/// What the run shows; every call has a default.
class installation_observer {
public:
    virtual ~installation_observer() = default;
    virtual void stage_started(installation_stage /*stage*/) {}
    /// After each step of the copy engine: entries done so far of all entries.
    virtual void copy_progress(int /*done*/, int /*total*/) {}
    /// A folder-tree file was placed at path.
    virtual void file_placed(const std::string& /*path*/) {}
    /// The run failed: the installer would show its failure page now.
    virtual void failure_page() {}
};

/// What a run did.
struct installation_report {
    bool completed = false;
    /// The failed stage when not completed.
    installation_stage failed_stage = installation_stage::Preparation;
    std::string temp_folder;
    /// The files placed, as the removal record lists them.
    std::vector<removal_entry> placed;
    std::vector<start_menu_item> start_menu;
    std::vector<registry_write> registry;
    /// The project asks for Windows to be restarted; the run never restarts.
    bool restart_requested = false;
    /// The program started at the end ("" when none).
    std::string launched;
};

/// The root of the first drive, lowest letter first, that is fixed or of unknown type
/// (the installer's drive scan), such as C:\; "" when there is none.
std::string first_fixed_root(platform::system& sys);

/// Sets the `selected` flag of every component of the component map: on for the ids in selection.
void apply_selection(model::project_data& project, const component_selection& selection);

class installation {
public:
    /// package_folder: the folder holding the package files (a path on sys).
    installation(platform::system& sys, platform::screen& screen, model::project_data project,
                 std::string package_folder, installation_choices choices,
                 installation_observer* observer = nullptr);

    /// Runs every stage; stops at the first that fails. caption: the title of the copy
    /// engine's messages (the project's frame_title in the installer); the preparation's are
    /// titled "セットアップ".
    installation_report run(const std::string& caption);

    /// The project as the run uses it (the selection applied).
    const model::project_data& project() const { return project_; }

private:
    class views;

    platform::system& sys_;
    platform::screen& screen_;
    model::project_data project_;
    std::string package_folder_;
    installation_choices choices_;
    installation_observer* observer_;
};

}  // namespace install
