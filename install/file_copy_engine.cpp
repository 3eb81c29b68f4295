#include "install/file_copy_engine.hpp"

#include <algorithm>

#include "install/file_copy_messages.hpp"
#include "install/folder_macros.hpp"
#include "model/byte_cursor.hpp"
#include "model/format_error.hpp"
#include "package/temp_folder.hpp"
#include "package/volume_join.hpp"

namespace install {

namespace {

constexpr int progress_span = 52;

constexpr const char* kit_project_name = "arkbs.vrz";
constexpr const char* kit_uninstaller_name = "qlun.exe";

/// Marks a step as running, so that a step or the Cancel button reached from inside one of
/// its message boxes (which keep dispatching timer messages) waits instead of running.
class busy_scope {
public:
    explicit busy_scope(bool& flag) : flag_(flag) { flag_ = true; }
    ~busy_scope() { flag_ = false; }
    busy_scope(const busy_scope&) = delete;
    busy_scope& operator=(const busy_scope&) = delete;

private:
    bool& flag_;
};

std::uint32_t without_normal(std::uint32_t attributes) {
    return attributes & ~std::uint32_t{platform::Normal};
}

}  // namespace

int timer_id(copy_next next) {
    switch (next) {
        case copy_next::OpenPieceTable:
            return 1027;
        case copy_next::Volume:
            return 1028;
        case copy_next::Entry:
            return 1029;
        case copy_next::Finish:
            return 1031;
        default:
            return 0;
    }
}

copy_next step_of_timer(int id) {
    switch (id) {
        case 1027:
            return copy_next::OpenPieceTable;
        case 1028:
            return copy_next::Volume;
        case 1029:
            return copy_next::Entry;
        case 1031:
            return copy_next::Finish;
        default:
            return copy_next::Wait;
    }
}

file_copy_engine::file_copy_engine(platform::system& sys, platform::screen& screen, copy_view& view,
                                   const model::project_data& project, std::string destination_folder)
    : sys_(sys),
      screen_(screen),
      view_(view),
      project_(project),
      destination_folder_(std::move(destination_folder)) {}

file_copy_engine::~file_copy_engine() = default;

copy_next file_copy_engine::finish_step(copy_next next) {
    next_ = next;
    return next;
}

copy_next file_copy_engine::fail(const char* text) {
    if (extractor_) extractor_->close_all();
    screen_.set_wait_cursor(false);
    screen_.message_box(text, caption_, platform::MbOk | platform::MbIconStop);
    view_.show_failure_page();
    return finish_step(copy_next::Failed);
}

copy_next file_copy_engine::stop_run() {
    if (extractor_) extractor_->close_all();
    screen_.set_wait_cursor(false);
    view_.show_failure_page();
    return finish_step(copy_next::Failed);
}

copy_next file_copy_engine::start(const std::string& caption) {
    busy_scope busy(busy_);
    caption_ = caption;
    screen_.set_wait_cursor(true);
    temp_folder_ = package::temp_folder(sys_);
    extractor_ = std::make_unique<package::package_extractor>(sys_, temp_folder_);
    entry_index_ = 0;
    // The package directory is reported like the other package files when it cannot be read.
    if (!extractor_->load_directory()) return fail(package_file_failure_text);
    const std::size_t count = extractor_->directory().size();
    progress_step_ = count == 0 ? 0 : static_cast<int>(progress_span / count);
    view_.set_progress(0);
    progress_position_ = progress_step_;
    return finish_step(copy_next::OpenPieceTable);
}

std::optional<copy_next> file_copy_engine::held_back(copy_next step) const {
    // A run that is over stays over; a step fired from inside a message box of another
    // step or of the Cancel question, or a timer other than the armed one, does nothing.
    if (!extractor_) return copy_next::Wait;
    if (!is_step(next_)) return next_;
    if (busy_ || cancel_open_ || next_ != step) return copy_next::Wait;
    return std::nullopt;
}

copy_next file_copy_engine::run(copy_next next) {
    switch (next) {
        case copy_next::OpenPieceTable:
            return step_open_piece_table();
        case copy_next::Volume:
            return step_volume();
        case copy_next::Entry:
            return step_entry();
        case copy_next::Finish:
            return step_finish();
        default:
            return next;
    }
}

copy_next file_copy_engine::step_open_piece_table() {
    if (const auto held = held_back(copy_next::OpenPieceTable)) return *held;
    busy_scope busy(busy_);
    if (!extractor_->open_piece_table()) return fail(package_file_failure_text);
    return finish_step(copy_next::Volume);
}

copy_next file_copy_engine::step_volume() {
    if (const auto held = held_back(copy_next::Volume)) return *held;
    busy_scope busy(busy_);
    if (!extractor_->next_volume()) return fail(joined_volume_failure_text);
    return finish_step(copy_next::Entry);
}

copy_next file_copy_engine::step_entry() {
    if (const auto held = held_back(copy_next::Entry)) return *held;
    busy_scope busy(busy_);
    view_.set_progress(progress_position_);
    progress_position_ += progress_step_;
    ++entry_index_;
    if (entry_index_ > extractor_->last_entry_number()) {
        extractor_->close_all();
        return finish_step(copy_next::Finish);
    }
    const package::extract_result result = extractor_->extract_entry(entry_index_);
    switch (result.status) {
        case package::extract_status::Done:
            if (!copy_real_files(result.real_name)) return stop_run();
            return finish_step(copy_next::Entry);
        case package::extract_status::VolumeChange:
            // The same entry is asked for again once the next volume is open.
            --entry_index_;
            return finish_step(copy_next::Volume);
        case package::extract_status::NameNotFound:
            // Reopening the joined volumes cannot bring the entry back; going on would leave
            // the application without the file and report success.
            return fail(joined_volume_failure_text);
        case package::extract_status::WriteFailure:
            return fail(output_failure_text);
        case package::extract_status::Damaged:
            break;
    }
    return fail(package_file_failure_text);
}

copy_next file_copy_engine::step_finish() {
    if (const auto held = held_back(copy_next::Finish)) return *held;
    busy_scope busy(busy_);
    extractor_->close_all();
    if (project_.act_info.register_uninstall != 0 && !uninstall_source_.empty()) write_uninstall_entry();
    delete_temp_files();
    screen_.set_wait_cursor(false);
    return finish_step(copy_next::Finished);
}

copy_next file_copy_engine::cancel() {
    if (!extractor_ || busy_ || cancel_open_ || !is_step(next_)) return copy_next::Wait;
    cancel_open_ = true;
    const int answer = screen_.message_box(cancel_question_text, setup_caption,
                                           platform::MbYesNo | platform::MbIconInformation);
    cancel_open_ = false;
    if (answer == platform::IdYes) {
        busy_scope busy(busy_);
        return stop_run();
    }
    // Steps that fired while the question was open did nothing; the one held back runs now.
    return next_;
}

bool file_copy_engine::copy_real_files(const std::string& name) {
    const model::setup_files& files = project_.files;
    bool go_on = for_each_loose_candidate(
        files, name,
        [&](const std::string& key, const model::file_object& f, file_origin origin, component_state) {
            return place_file(key, f, origin, name) != placed::Stopped;
        });
    files.folders.for_each([&](const std::string&, const model::folder_object& folder) {
        if (go_on) go_on = copy_real_folder_files(folder, name);
    });
    // The decoded file goes once every file_object of that name has had its copy, so that
    // two destinations of one package file both receive it.
    delete_if_present(temp_folder_ + name);
    return go_on;
}

bool file_copy_engine::copy_real_folder_files(const model::folder_object& folder, const std::string& name) {
    return for_each_folder_candidate(
        project_.files, folder, name,
        [&](const std::string& key, const model::file_object& f, file_origin origin, component_state state) {
            // Only this file is left out: a later file of the same name may belong to a
            // selected component.
            if (!component_installs(state)) return true;
            return place_file(key, f, origin, name) != placed::Stopped;
        });
}

file_copy_engine::placed file_copy_engine::place_file(const std::string& key, const model::file_object& f,
                                                      file_origin origin, const std::string& name) {
    const placement_target target =
        placement_target_of(f, origin, destination_folder_, windows_directory(sys_));
    make_folders(sys_, target.folders_path);
    note_uninstall_source(uninstall_source_, f, destination_folder_);
    placed outcome = placed::Skipped;
    if (decide_overwrite(f, sys_.status(target.destination)) == overwrite_verdict::Copy) {
        bool skipped = false;
        if (!copy_with_retry(temp_folder_ + name, target.destination, skipped)) return placed::Stopped;
        if (!skipped) {
            // The file is in place from here on, times or not: the uninstaller may remove it.
            placed_.add({key, f.install_path, target.destination});
            if (!stamp_with_retry(f, target.destination)) return placed::Stopped;
            outcome = placed::Done;
        }
    }
    if (origin == file_origin::FolderTree) view_.show_destination(target.destination);
    return outcome;
}

bool file_copy_engine::copy_with_retry(const std::string& source, const std::string& destination,
                                       bool& skipped) {
    for (;;) {
        const platform::file_error error = sys_.copy_file(source, destination, true);
        if (error == platform::file_error::None) return true;
        screen_.set_wait_cursor(false);
        const int answer = screen_.message_box(copy_failure_text(source, destination, error), caption_,
                                               platform::MbAbortRetryIgnore | platform::MbIconStop);
        if (answer == platform::IdAbort) return false;
        screen_.set_wait_cursor(true);
        if (answer == platform::IdIgnore) {
            skipped = true;
            return true;
        }
    }
}

bool file_copy_engine::stamp_with_retry(const model::file_object& f, const std::string& destination) {
    for (;;) {
        const std::optional<platform::file_status> status = sys_.status(destination);
        platform::file_error error = platform::file_error::NotFound;
        if (status) {
            // A stamp that is not a valid date keeps the time the copy gave the file.
            const platform::civil_time created = to_local_time(f.created_stamp).value_or(status->created);
            const platform::civil_time written = to_local_time(f.modified_stamp).value_or(status->last_write);
            error = sys_.set_file_times(destination, created, written);
        }
        if (error == platform::file_error::None) return true;
        screen_.set_wait_cursor(false);
        const int answer = screen_.message_box(time_stamp_failure_text(destination, error), caption_,
                                               platform::MbAbortRetryIgnore | platform::MbIconStop);
        if (answer == platform::IdAbort) return false;
        screen_.set_wait_cursor(true);
        if (answer == platform::IdIgnore) return true;
    }
}

void file_copy_engine::delete_if_present(const std::string& path) {
    if (!sys_.status(path)) return;
    sys_.set_attributes(path, platform::Normal);
    sys_.delete_file(path);
}

void file_copy_engine::write_uninstall_entry() {
    const std::string folder =
        uninstall_folder(uninstall_source_, destination_folder_, windows_directory(sys_));
    // The folder may hold no file of the application (all went to the Windows folders).
    make_folders(sys_, folder + kit_project_name);

    const std::string project_source = temp_folder_ + kit_project_name;
    const std::string project_copy = folder + kit_project_name;
    const std::string uninstaller_copy = folder + kit_uninstaller_name;
    if (sys_.status(project_source)) sys_.set_attributes(project_source, platform::Normal);
    // A hidden or read-only copy left by an earlier installation would refuse the copy.
    if (sys_.status(project_copy)) sys_.set_attributes(project_copy, platform::Normal);
    sys_.copy_file(project_source, project_copy, true);
    if (sys_.status(uninstaller_copy)) sys_.set_attributes(uninstaller_copy, platform::Normal);
    sys_.copy_file(temp_folder_ + kit_uninstaller_name, uninstaller_copy, true);
    write_removal_record(folder);
    if (const auto status = sys_.status(project_copy)) {
        sys_.set_attributes(project_copy, without_normal(status->attributes) | platform::Hidden);
    }
    if (sys_.status(uninstaller_copy)) {
        sys_.set_attributes(uninstaller_copy, platform::Normal);
        sys_.set_attributes(uninstaller_copy, platform::ReadOnly | platform::Hidden | platform::Archive);
    }

    // Without a name the key would be the uninstall list itself.
    const std::string& app_name = project_.app_name.app_name;
    if (app_name.empty()) return;
    const std::string key = uninstall_key(app_name);
    if (!sys_.create_key(platform::root_key::LocalMachine, key)) return;
    sys_.set_value(platform::root_key::LocalMachine, key, "DisplayName", app_name);
    sys_.set_value(platform::root_key::LocalMachine, key, "UninstallString", uninstall_command(folder));
}

void file_copy_engine::write_removal_record(const std::string& folder) {
    const std::string path = folder + removal_record::file_name;
    // Files that an earlier installation into this folder placed and that this run left
    // alone (an overwrite rule kept them) still belong to the application.
    removal_record earlier;
    if (const auto mapping = sys_.map_file(path)) {
        try {
            earlier = removal_record::parse(mapping->bytes());
        } catch (const model::format_error&) {
            earlier.entries.clear();
        }
    }
    install::placed_files record(earlier);
    for (const removal_entry& e : placed_.record().entries) record.add(e);
    if (sys_.status(path)) sys_.set_attributes(path, platform::Normal);
    const std::string bytes = record.record().serialize();
    if (auto out = sys_.create_file(path)) {
        const bool written = out->write(model::as_bytes(bytes)) && out->close();
        if (!written) return;
    } else {
        return;
    }
    sys_.set_attributes(path, platform::Hidden);
}

void file_copy_engine::delete_temp_files() {
    if (temp_folder_.empty()) return;
    for (const char* name : {"arkmtx.vrz", "ark.vrz", "arkbs.vrz", "arkci.vrz", "licence.lic", "readme.txt",
                             package::joined_volume_name, "qlun.exe"}) {
        delete_if_present(temp_folder_ + name);
    }
    if (extractor_) {
        extractor_->directory().for_each([&](const std::string&, const model::comp_file_object& entry) {
            // A name that would leave T is never used as a path.
            if (package::is_plain_file_name(entry.packed_name))
                delete_if_present(temp_folder_ + entry.packed_name);
        });
    }
    for (std::uint32_t k = 0;; ++k) {
        const std::string path = temp_folder_ + package::volume_file_name(k);
        if (!sys_.status(path)) break;
        delete_if_present(path);
    }
}

}  // namespace install
