#include "model/project_data.hpp"

#include <new>

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"
#include "platform/system.hpp"

namespace model {

// The project file: reserved_text, then the six records in place. proj_kind_setup has
// no stored fields.
void project_data::read(archive_reader& in) {
    reserved_text = in.read_text();
    app_name.read(in);
    kind_setup.read(in);
    dsp_mainfrm.read(in);
    act_info.read(in);
    hi_level_info.read(in);
    files.read(in);
}

void project_data::write(archive_writer& out) const {
    out.write_text(reserved_text);
    app_name.write(out);
    kind_setup.write(out);
    dsp_mainfrm.write(out);
    act_info.write(out);
    hi_level_info.write(out);
    files.write(out);
}

project_data parse_project(std::span<const std::byte> bytes) {
    archive_reader in(bytes);
    project_data project;
    project.read(in);
    return project;
}

std::string serialize_project(const project_data& project) {
    archive_writer out;
    project.write(out);
    return out.take();
}

load_result load_project(platform::system& sys, const std::string& path, project_data& project) {
    project = project_data{};
    std::unique_ptr<platform::mapped_file> file = sys.map_file(path);
    if (!file) {
        const auto status = sys.status(path);
        return status ? load_result::Unreadable : load_result::Missing;
    }
    try {
        project = parse_project(file->bytes());
        return load_result::Ok;
    } catch (const format_error&) {
        project = project_data{};
        return load_result::Malformed;
    } catch (const std::bad_alloc&) {
        project = project_data{};
        return load_result::Unreadable;
    }
}

std::string load_failure_message(load_result result) {
    switch (result) {
        case load_result::Malformed:
            return "予期しないﾌｧｲﾙ形式です。";
        case load_result::Unreadable:
            return "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。";
        case load_result::Ok:
        case load_result::Missing:
            break;
    }
    return {};
}

}  // namespace model
