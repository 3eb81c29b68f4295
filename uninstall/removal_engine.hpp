#pragma once
// The removal engine of the uninstaller: undoes an installation from its project file,
// one step per timer tick (ids 1025 to 1029), while a progress bar runs from full to
// empty. The window that drives it arms the timer that each step returns.

#include <optional>
#include <string>
#include <vector>

#include "install/removal_record.hpp"
#include "model/file_set_records.hpp"
#include "model/project_data.hpp"
#include "platform/system.hpp"

namespace platform {
class screen;
}

namespace uninstall {

/// The timers of the removal chain; None ends it.
enum class removal_timer : int {
    None = 0,
    ProjectFile = 1025,  ///< delete the project file
    Files = 1026,        ///< delete one installed file per tick
    StartMenu = 1027,    ///< remove the Start-menu entries
    Registry = 1028,     ///< remove the registry values and the uninstall entry
    Finish = 1029,       ///< report completion
};

/// Period of every removal timer, in milliseconds.
inline constexpr int removal_timer_period_ms = 100;

/// The window side of the removal: progress and the end of the run. Every call has a default.
class removal_observer {
public:
    virtual ~removal_observer() = default;
    /// Once, at the start: the bar's range is 0..high.
    virtual void progress_range(int /*high*/) {}
    virtual void progress_position(int /*position*/) {}
    /// Just before the completion message: the progress window hides.
    virtual void removal_ending() {}
};

/// The message for a failed deletion of the file named name (code page 932).
std::string file_error_message(platform::file_error error, const std::string& name);

/// The name the messages give a file whose name the deletion does not know.
inline constexpr const char* untitled_file_name = "無題のﾌｧｲﾙ";

/// Caption of the messages about failed deletions.
inline constexpr const char* error_caption = "qlun";
/// Caption of the uninstaller's other messages.
inline constexpr const char* uninstall_caption = "Uninstall";

/// One file deletion of the file stage.
struct planned_deletion {
    std::string path;
    /// The name used in a failure message: the path itself for a recorded file, else the untitled name.
    std::string reported_name;
    friend bool operator==(const planned_deletion&, const planned_deletion&) = default;
};

class removal_engine {
public:
    /// project is the document read from project_path; both must outlive the engine.
    removal_engine(platform::system& sys, platform::screen& screen, const model::project_data& project,
                   std::string project_path, removal_observer* observer = nullptr);

    /// Gathers the files, sets the progress range and returns the first timer (ProjectFile).
    removal_timer begin_removal();

    /// Runs the step of timer id and returns the timer to arm next (None when the removal is
    /// over or id is not one of the chain).
    removal_timer run_timer(int id);

    /// 1025: deletes the project file; a failure is reported and the removal goes on.
    removal_timer remove_project_file();
    /// 1026: deletes the next gathered entry's files; Files again, or, when none is left, StartMenu
    /// (that last tick also deletes the recorded files of keys the project no longer has, then
    /// the removal record itself).
    removal_timer remove_next_file();
    /// 1027: remove_start_menu_items.
    removal_timer remove_start_menu_stage();
    /// 1028: remove_registry_entries.
    removal_timer remove_registry_stage();
    /// 1029: hides the window and shows the completion message; None.
    removal_timer finish_removal();

    /// Every file_object of the file sets: the loose files, then the folder trees depth
    /// first; a key seen again takes the earlier entry's place.
    void gather_files();
    /// Removes the Start-menu tree from both Programs folders. A shortcut that cannot be
    /// deleted is reported and ends the stage, so that the removal goes on with the registry.
    void remove_start_menu_items();
    /// Removes one level of the tree below folder_path (sub-folders first, then shortcuts).
    void remove_menu_folder(const model::word_map<model::stmenu_folder_object>& folders,
                            const model::word_map<model::stmenu_file_object>& shortcuts,
                            const std::string& folder_path);
    /// Deletes the values the project's entries name (the unnamed value only where the key
    /// path ends in a backslash), then each key left empty up to the first level below the
    /// root, then the uninstall entry's key.
    void remove_registry_entries();

    /// The deletions for one gathered entry, in order: at the recorded real paths when the
    /// kit has a removal record, else at the paths the folder macros of install_path give.
    std::vector<planned_deletion> deletions_for(const std::string& key, const model::file_object& file) const;

    /// The high end of the progress range: gathered entries + 4.
    int progress_high() const { return progress_high_; }
    /// The progress counter; it falls by one per tick.
    int progress_counter() const { return counter_; }
    const model::text_map<model::file_object>& gathered_files() const { return gathered_; }
    /// True when the kit's removal record was read.
    bool has_removal_record() const { return record_.has_value(); }
    /// The path of the removal record beside the project file.
    std::string removal_record_path() const;

private:
    void tick();
    void delete_reporting(const std::string& path, const std::string& reported_name);
    bool remove_shortcut(const std::string& link_path);
    void remove_registry_value(const model::registry_info& entry);
    void remove_empty_keys(platform::root_key root, std::string sub_key);
    void remove_uninstall_entry();
    void load_removal_record();

    platform::system& sys_;
    platform::screen& screen_;
    const model::project_data& project_;
    std::string project_path_;
    removal_observer* observer_;

    model::text_map<model::file_object> gathered_;
    std::vector<std::string> gathered_order_;
    std::size_t next_file_ = 0;
    int progress_high_ = 0;
    int counter_ = 0;
    std::string drive_root_;
    std::string windows_directory_;
    std::string system_directory_;
    std::optional<install::removal_record> record_;
    bool start_menu_failed_ = false;
};

}  // namespace uninstall
