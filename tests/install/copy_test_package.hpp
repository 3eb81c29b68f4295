#pragma once
// Test projects and packages: file sets built in code, packed with the package builder and
// laid out in the sandbox either as a package folder (for the preparation) or straight
// into the temporary folder (for the copy engine alone).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "copy_test_support.hpp"
#include "install/placement.hpp"
#include "model/project_data.hpp"
#include "package/package_builder.hpp"
#include "package/volume_join.hpp"

namespace install_test {

/// The contents given to spex2.dat, which becomes qlun.exe.
inline const std::string uninstaller_image = "MZ uninstaller image";
inline const std::string installer_image = "MZ installer image";

struct file_spec {
    std::string source_name;
    std::string install_path;
    std::string sub_path;
    std::int16_t overwrite_mode = 0;
    std::int16_t component_id = 0;
    platform::civil_time created{1999, 1, 10, 9, 30, 0};
    platform::civil_time modified{1999, 1, 15, 12, 0, 0};
    std::int32_t file_size = 0;
};

inline std::shared_ptr<model::file_object> make_file(const file_spec& s) {
    auto f = std::make_shared<model::file_object>();
    f->file_key = s.source_name;
    f->source_name = s.source_name;
    f->install_path = s.install_path;
    f->sub_path = s.sub_path;
    f->overwrite_mode = s.overwrite_mode;
    f->component_id = s.component_id;
    f->created_stamp = install::from_local_time(s.created);
    f->modified_stamp = install::from_local_time(s.modified);
    f->file_size = s.file_size;
    return f;
}

inline std::shared_ptr<model::compo_file_object> make_component(std::int16_t id, bool selected) {
    auto c = std::make_shared<model::compo_file_object>();
    c->component_id = id;
    c->component_name = "component " + std::to_string(id);
    c->selected = selected ? 1 : 0;
    return c;
}

/// A project with the uninstall entry switched on and nothing to install yet.
inline model::project_data make_project(const std::string& app_name = "Tool") {
    model::project_data p;
    p.app_name.app_name = app_name;
    p.act_info.register_uninstall = 1;
    p.dsp_mainfrm.frame_title = "Tool Setup";
    return p;
}

/// A folder of the project's folder trees.
inline std::shared_ptr<model::folder_object> add_folder(model::text_map<model::folder_object>& map,
                                                        const std::string& name) {
    auto f = std::make_shared<model::folder_object>();
    f->folder_name = name;
    map.insert_or_assign(name, f);
    return f;
}

/// Application file contents by real name.
struct app_file {
    std::string real_name;
    std::string data;
};

inline package::package_image build(const std::vector<app_file>& files, std::uint32_t volumes = 1) {
    std::vector<package::packed_file> packed;
    for (const auto& f : files) packed.push_back({f.real_name, {}, 0, f.data});
    package::build_options options;
    options.volume_count = volumes;
    return package::build_package(packed, options);
}

inline std::string temp_of(sandbox& box) { return box.sys().windows_directory() + "\\temp\\"; }

/// Lays out the package in a package folder, as it is shipped.
inline void write_package_folder(sandbox& box, const std::string& folder, const package::package_image& image,
                                 const model::project_data& project) {
    box.folders(folder);
    const std::string at = folder + "\\";
    box.put(at + "spex1.dat", installer_image);
    box.put(at + "spex2.dat", uninstaller_image);
    box.put(at + "arkbs.vrz", model::serialize_project(project));
    box.put(at + "arkmtx.vrz", image.package_directory);
    box.put(at + "ark.vrz", image.piece_directory);
    box.put(at + "arkci.vrz", package::serialize_volume_header(image.header));
    box.put(at + "licence.lic", "licence");
    box.put(at + "readme.txt", "readme");
    for (std::size_t i = 0; i < image.volumes.size(); ++i) {
        box.put(at + package::volume_file_name(static_cast<std::uint32_t>(i)), image.volumes[i]);
    }
}

/// Lays out the package in T as the preparation leaves it.
inline void write_prepared_temp(sandbox& box, const package::package_image& image,
                                const model::project_data& project) {
    const std::string t = temp_of(box);
    box.put(t + "Setup.exe", installer_image);
    box.put(t + "qlun.exe", uninstaller_image);
    box.put(t + "arkbs.vrz", model::serialize_project(project));
    box.put(t + "arkmtx.vrz", image.package_directory);
    box.put(t + "ark.vrz", image.piece_directory);
    box.put(t + "arkci.vrz", package::serialize_volume_header(image.header));
    box.put(t + "licence.lic", "licence");
    box.put(t + "readme.txt", "readme");
    for (std::size_t i = 0; i < image.volumes.size(); ++i) {
        box.put(t + package::volume_file_name(static_cast<std::uint32_t>(i)), image.volumes[i]);
    }
    box.put(t + package::joined_volume_name, image.joined);
}

/// Forwards to another system, with hooks that can make single operations fail.
class faulty_system : public platform::system {
public:
    explicit faulty_system(platform::system& inner) : inner_(inner) {}

    /// Return anything but None to make the call fail with that error without doing it.
    std::function<platform::file_error(const std::string& from, const std::string& to)> copy_fault;
    std::function<platform::file_error(const std::string& path)> times_fault;
    int copy_calls = 0;
    int times_calls = 0;

    std::string windows_directory() override { return inner_.windows_directory(); }
    std::string system_directory() override { return inner_.system_directory(); }
    int platform_id() override { return inner_.platform_id(); }
    std::optional<std::string> user_name() override { return inner_.user_name(); }
    std::uint32_t logical_drives() override { return inner_.logical_drives(); }
    int drive_type(const std::string& root) override { return inner_.drive_type(root); }
    std::optional<platform::disk_space> free_space(const std::string& root) override {
        return inner_.free_space(root);
    }
    std::optional<platform::file_status> status(const std::string& path) override {
        return inner_.status(path);
    }
    platform::file_error copy_file(const std::string& from, const std::string& to, bool replace) override {
        ++copy_calls;
        if (copy_fault) {
            if (auto e = copy_fault(from, to); e != platform::file_error::None) return e;
        }
        return inner_.copy_file(from, to, replace);
    }
    platform::file_error delete_file(const std::string& path) override { return inner_.delete_file(path); }
    platform::file_error set_attributes(const std::string& path, std::uint32_t attributes) override {
        return inner_.set_attributes(path, attributes);
    }
    platform::file_error set_file_times(const std::string& path, const platform::civil_time& created,
                                        const platform::civil_time& last_write) override {
        ++times_calls;
        if (times_fault) {
            if (auto e = times_fault(path); e != platform::file_error::None) return e;
        }
        return inner_.set_file_times(path, created, last_write);
    }
    platform::file_error create_directory(const std::string& path) override {
        return inner_.create_directory(path);
    }
    platform::file_error remove_directory(const std::string& path) override {
        return inner_.remove_directory(path);
    }
    std::string current_directory() override { return inner_.current_directory(); }
    bool set_current_directory(const std::string& path) override {
        return inner_.set_current_directory(path);
    }
    std::vector<std::string> list_directory(const std::string& path) override {
        return inner_.list_directory(path);
    }
    std::unique_ptr<platform::mapped_file> map_file(const std::string& path) override {
        return inner_.map_file(path);
    }
    std::unique_ptr<platform::output_file> create_file(const std::string& path,
                                                       platform::file_error* error) override {
        return inner_.create_file(path, error);
    }
    bool key_exists(platform::root_key root, const std::string& sub_key) override {
        return inner_.key_exists(root, sub_key);
    }
    bool create_key(platform::root_key root, const std::string& sub_key) override {
        return inner_.create_key(root, sub_key);
    }
    std::optional<std::string> query_value(platform::root_key root, const std::string& sub_key,
                                           const std::string& name) override {
        return inner_.query_value(root, sub_key, name);
    }
    bool set_value(platform::root_key root, const std::string& sub_key, const std::string& name,
                   const std::string& data) override {
        return inner_.set_value(root, sub_key, name, data);
    }
    bool delete_value(platform::root_key root, const std::string& sub_key, const std::string& name) override {
        return inner_.delete_value(root, sub_key, name);
    }
    bool key_is_empty(platform::root_key root, const std::string& sub_key) override {
        return inner_.key_is_empty(root, sub_key);
    }
    bool delete_key(platform::root_key root, const std::string& sub_key) override {
        return inner_.delete_key(root, sub_key);
    }
    bool create_shell_link(const platform::shell_link& link, const std::string& link_path) override {
        return inner_.create_shell_link(link, link_path);
    }
    bool start_process(const std::string& path) override { return inner_.start_process(path); }

private:
    platform::system& inner_;
};

}  // namespace install_test
