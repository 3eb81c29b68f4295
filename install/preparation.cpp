#include "install/preparation.hpp"

#include <cstdio>

#include "install/file_copy_messages.hpp"
#include "install/folder_macros.hpp"
#include "package/temp_folder.hpp"
#include "package/volume_join.hpp"

namespace install {

package_preparation::package_preparation(platform::system& sys, platform::screen& screen,
                                         preparation_view& view, std::string source_folder)
    : sys_(sys), screen_(screen), view_(view), source_folder_(std::move(source_folder)) {}

std::string package_preparation::source_path(const std::string& name) const {
    if (source_folder_.empty()) return name;
    return ends_with_backslash(source_folder_) ? source_folder_ + name : source_folder_ + "\\" + name;
}

void package_preparation::set_bar(int position) { view_.set_progress(position); }

bool package_preparation::read_volume_header(const std::string& title) {
    header_ = package::read_volume_header(sys_, source_path("arkci.vrz"));
    if (header_) return true;
    screen_.set_wait_cursor(false);
    screen_.message_box(package_file_failure_text, title, platform::MbOk | platform::MbIconStop);
    return false;
}

void package_preparation::find_folders() {
    windows_folder_ = sys_.windows_directory();
    temp_folder_ = package::temp_folder(sys_);
}

void package_preparation::copy_control_files() {
    for (const control_file& file : control_files) {
        sys_.copy_file(source_path(file.source), temp_folder_ + file.copy, true);
    }
}

bool package_preparation::gather_volumes(std::uint32_t count, std::uint32_t share, int& position) {
    for (std::uint32_t i = 0; i < count; ++i) {
        position += static_cast<int>(share);
        set_bar(position);
        const std::string name = package::volume_file_name(i);
        if (!sys_.status(source_path(name))) {
            char text[256];
            std::snprintf(text, sizeof text, floppy_request_format, static_cast<int>(i + 2));
            const int answer =
                screen_.message_box(text, setup_caption, platform::MbOkCancel | platform::MbIconInformation);
            if (answer == platform::IdCancel) {
                delete_temp_files();
                return false;
            }
        }
        sys_.copy_file(source_path(name), temp_folder_ + name, true);
    }
    return true;
}

bool package_preparation::gather_and_join(int& position) {
    const std::uint32_t count = header_ ? header_->volume_count : 0;
    // Without volumes there is no share to divide; an empty joined file is still made so
    // that a stale one from an earlier run is never read.
    const std::uint32_t share = count == 0 ? 0 : 20 / count;
    if (!gather_volumes(count, share, position)) return false;
    return package::join_volumes(sys_, temp_folder_, count, [&](std::uint32_t) {
        position += static_cast<int>(share);
        set_bar(position);
    });
}

bool package_preparation::copy_package(int& position) {
    copy_control_files();
    set_bar(position);
    return gather_and_join(position);
}

void package_preparation::delete_temp_files() {
    if (temp_folder_.empty()) return;
    for (const char* name : {"arkmtx.vrz", "ark.vrz", "arkci.vrz", "licence.lic", "readme.txt", "qlun.exe"}) {
        const std::string path = temp_folder_ + name;
        if (!sys_.status(path)) continue;
        sys_.set_attributes(path, platform::Normal);
        sys_.delete_file(path);
    }
}

}  // namespace install
