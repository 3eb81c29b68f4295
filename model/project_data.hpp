#pragma once
// The project document read from "arkbs.vrz".

#include <cstdint>
#include <span>
#include <string>

#include "model/byte_cursor.hpp"
#include "model/file_set_records.hpp"
#include "model/format_error.hpp"
#include "model/settings_records.hpp"

namespace platform {
class system;
}

namespace model {

class project_data {
public:
    std::string reserved_text;
    proj_app_name app_name;
    proj_kind_setup kind_setup;
    proj_dsp_mainfrm dsp_mainfrm;
    proj_act_info act_info;
    proj_hi_level_info hi_level_info;
    setup_files files;
    /// A flag of the run; never stored.
    std::int32_t run_flag = 0;

    /// Reads a whole project; throws format_error on malformed input.
    void read(archive_reader& in);
    void write(archive_writer& out) const;
};

/// Outcome of load_project.
enum class load_result {
    Ok,
    Missing,        ///< the file does not exist
    Malformed,      ///< "予期しないﾌｧｲﾙ形式です。"
    Unreadable,     ///< "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"
};

/// Parses a project from bytes; throws format_error.
project_data parse_project(std::span<const std::byte> bytes);
/// Serialises a project into the writer forms.
std::string serialize_project(const project_data& project);

/// Reads the whole file into project; on failure project is left empty.
load_result load_project(platform::system& sys, const std::string& path, project_data& project);

/// The user's message for a failed load (code page 932), empty for Ok and Missing.
std::string load_failure_message(load_result result);

}  // namespace model
