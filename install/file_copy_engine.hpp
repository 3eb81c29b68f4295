#pragma once
// The installation of the package's files as a chain of short steps. A Win32 dialog drives
// it from one-shot timers, a test from a loop: each step returns what runs next.
//
//   copy_next next = engine.start(caption);
//   while (is_step(next)) next = engine.run(next);   // or: arm timer_id(next), run on WM_TIMER
//
// Finished: hand over to the shortcut step. Failed: the message and the failure page have
// been shown; close the main window. Wait: arm nothing (the Cancel question is open).
// The Cancel button calls cancel(); its result is armed the same way.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "install/copy_view.hpp"
#include "install/placement.hpp"
#include "install/removal_record.hpp"
#include "model/project_data.hpp"
#include "package/package_extractor.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"

namespace install {

/// What the owner does after a step.
enum class copy_next {
    OpenPieceTable,  ///< arm timer 1027
    Volume,          ///< arm timer 1028
    Entry,           ///< arm timer 1029
    Finish,          ///< arm timer 1031
    Wait,            ///< arm nothing: the run waits for the Cancel question's answer
    Finished,        ///< files placed, removal kit and uninstall entry written, T cleaned
    Failed,          ///< the run ended through the failure page
};

/// True for the four timer steps.
inline bool is_step(copy_next next) { return next <= copy_next::Finish; }
/// The window timer of a step (1027, 1028, 1029, 1031); 0 for the other results.
int timer_id(copy_next next);
/// The step of a window timer; Wait for any other id.
copy_next step_of_timer(int id);

class file_copy_engine {
public:
    /// destination_folder is D as the wizard stored it (no trailing backslash; empty when
    /// the destination page was not shown).
    file_copy_engine(platform::system& sys, platform::screen& screen, copy_view& view,
                     const model::project_data& project, std::string destination_folder);
    ~file_copy_engine();
    file_copy_engine(const file_copy_engine&) = delete;
    file_copy_engine& operator=(const file_copy_engine&) = delete;

    /// Begins the run: reads the package directory, sets the progress to 0. Returns OpenPieceTable,
    /// or Failed when the package directory cannot be read.
    copy_next start(const std::string& caption);
    /// Timer 1027: opens the piece directory "ark.vrz".
    copy_next step_open_piece_table();
    /// Timer 1028: moves to the next volume and opens the joined volumes afresh.
    copy_next step_volume();
    /// Timer 1029: extracts one entry and places its files.
    copy_next step_entry();
    /// Timer 1031: removal kit, uninstall entry, temporary files.
    copy_next step_finish();
    /// Runs the step that next names; any other value comes back unchanged.
    copy_next run(copy_next next);

    /// The Cancel button: asks whether to stop. Yes: failure page, Failed. No: the step that
    /// the question held back, so the run resumes exactly where it stopped. Wait when there
    /// is nothing to arm (the run is over, or another question is open).
    copy_next cancel();

    /// Places every file of the project that comes from the decoded package file name, then
    /// deletes T + name. False when the user stopped the run on a failed file.
    bool copy_real_files(const std::string& name);
    /// The same for one folder tree.
    bool copy_real_folder_files(const model::folder_object& folder, const std::string& name);
    /// Deletes what the installation left in T.
    void delete_temp_files();

    const std::string& temp_folder() const { return temp_folder_; }
    int progress_position() const { return progress_position_; }
    int progress_step() const { return progress_step_; }
    std::int32_t entry_index() const { return entry_index_; }
    /// U: the path from which the application's folder is derived.
    const std::string& uninstall_source() const { return uninstall_source_; }
    /// The files placed so far, as the removal record will list them.
    const removal_record& placed_files() const { return placed_.record(); }
    /// The extractor, once start has run (null before).
    const package::package_extractor* extractor() const { return extractor_.get(); }

private:
    enum class placed { Done, Skipped, Stopped };

    /// The result of a step that must not run now, or nullopt when it may.
    std::optional<copy_next> held_back(copy_next step) const;
    copy_next finish_step(copy_next next);
    copy_next fail(const char* text);
    copy_next stop_run();
    placed place_file(const std::string& key, const model::file_object& f, file_origin origin,
                      const std::string& name);
    bool copy_with_retry(const std::string& source, const std::string& destination, bool& skipped);
    bool stamp_with_retry(const model::file_object& f, const std::string& destination);
    void write_uninstall_entry();
    void write_removal_record(const std::string& folder);
    void delete_if_present(const std::string& path);

    platform::system& sys_;
    platform::screen& screen_;
    copy_view& view_;
    const model::project_data& project_;
    std::string destination_folder_;
    std::string caption_;
    std::string temp_folder_;
    std::unique_ptr<package::package_extractor> extractor_;
    std::int32_t entry_index_ = 0;
    int progress_position_ = 0;
    int progress_step_ = 0;
    std::string uninstall_source_;
    install::placed_files placed_;
    /// What runs next: the step that the Cancel question holds back.
    copy_next next_ = copy_next::OpenPieceTable;
    bool cancel_open_ = false;
    bool busy_ = false;
};

}  // namespace install
