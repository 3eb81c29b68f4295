#pragma once
// Helpers of the Start-menu, registry, installation and removal tests: a host sandbox per
// test whose shortcuts are also recorded, a screen that answers from a script, and
// builders of small projects.

#include <gtest/gtest.h>

#include <cctype>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/byte_cursor.hpp"
#include "model/project_data.hpp"
#include "package/package_builder.hpp"
#include "package/volume_join.hpp"
#include "platform/host_system.hpp"
#include "platform/screen.hpp"

namespace installation_test {

namespace fs = std::filesystem;

/// The host sandbox, recording every shortcut written and every deletion asked for.
class recording_system : public platform::host_system {
public:
    using host_system::host_system;

    struct written_link {
        std::string path;
        platform::shell_link link;
    };
    std::vector<written_link> links;
    std::vector<std::string> deletions;

    bool create_shell_link(const platform::shell_link& link, const std::string& link_path) override {
        links.push_back({link_path, link});
        return host_system::create_shell_link(link, link_path);
    }
    platform::file_error delete_file(const std::string& path) override {
        deletions.push_back(path);
        return host_system::delete_file(path);
    }
};

/// A sandbox in a fresh folder named after the running test, removed again afterwards.
class sandbox {
public:
    /// machine_json: the sandbox's machine.json; empty for the defaults (C:\WINDOWS, user "user").
    explicit sandbox(const std::string& machine_json = {}) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        root_ = fs::path(::testing::TempDir()) / ("vrz_removal_" + name);
        fs::remove_all(root_);
        fs::create_directories(root_);
        if (!machine_json.empty()) std::ofstream(root_ / "machine.json", std::ios::binary) << machine_json;
        sys_ = std::make_unique<recording_system>(root_);
    }
    ~sandbox() {
        sys_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    sandbox(const sandbox&) = delete;
    sandbox& operator=(const sandbox&) = delete;

    recording_system& sys() { return *sys_; }
    const fs::path& root() const { return root_; }
    /// Opens the sandbox afresh from its files, as a later program would.
    recording_system& reopen() {
        sys_.reset();
        sys_ = std::make_unique<recording_system>(root_);
        return *sys_;
    }

    /// Writes a file at a Windows path, making its folders first.
    void put(const std::string& path, const std::string& bytes = "data") {
        folders(path.substr(0, path.rfind('\\')));
        auto out = sys_->create_file(path);
        ASSERT_TRUE(out) << path;
        ASSERT_TRUE(out->write(model::as_bytes(bytes)));
        ASSERT_TRUE(out->close());
    }
    bool exists(const std::string& path) { return sys_->status(path).has_value(); }
    bool is_folder(const std::string& path) {
        auto st = sys_->status(path);
        return st && st->is_directory;
    }
    /// Makes every folder of a folder path.
    void folders(const std::string& path) {
        for (std::size_t slash = path.find('\\', 3);; slash = path.find('\\', slash + 1)) {
            sys_->create_directory(path.substr(0, slash));
            if (slash == std::string::npos) break;
        }
    }

private:
    fs::path root_;
    std::unique_ptr<recording_system> sys_;
};

/// Answers message boxes from a script (OK when the script is empty) and records them.
class scripted_screen : public platform::screen {
public:
    struct box {
        std::string text;
        std::string caption;
        unsigned flags = 0;
        friend bool operator==(const box&, const box&) = default;
    };
    std::vector<box> boxes;
    std::deque<int> answers;

    int message_box(const std::string& text, const std::string& caption, unsigned flags) override {
        boxes.push_back({text, caption, flags});
        if (answers.empty()) return platform::IdOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void set_wait_cursor(bool) override {}
};

/// The fields of a shell link, for comparisons.
inline auto link_fields(const platform::shell_link& l) {
    return std::tuple(l.target, l.arguments, l.description, l.icon_path, l.icon_index, l.working_directory,
                      l.show_command, l.hot_key);
}

// Builders of project records.

inline std::shared_ptr<model::file_object> file(const std::string& source, const std::string& install_path,
                                                const std::string& sub_path = {},
                                                std::int16_t component = 0) {
    auto f = std::make_shared<model::file_object>();
    f->source_name = source;
    f->install_path = install_path;
    f->sub_path = sub_path;
    f->component_id = component;
    return f;
}

inline std::shared_ptr<model::stmenu_file_object> shortcut(const std::string& link_name,
                                                           const std::string& target,
                                                           std::int32_t work_base = 0,
                                                           const std::string& work = {}) {
    auto s = std::make_shared<model::stmenu_file_object>();
    s->link_name = link_name;
    s->target_path = target;
    s->work_folder_base = work_base;
    s->work_folder = work;
    return s;
}

inline std::shared_ptr<model::stmenu_folder_object> menu_folder(const std::string& name) {
    auto f = std::make_shared<model::stmenu_folder_object>();
    f->folder_name = name;
    return f;
}

inline std::shared_ptr<model::registry_info> registry_entry(const std::string& key_path,
                                                            const std::string& value) {
    auto r = std::make_shared<model::registry_info>();
    r->key_path = key_path;
    r->value_text = value;
    return r;
}

/// Packs the files (real name, bytes) and lays the package out in folder, as it is shipped.
inline void write_package(sandbox& box, const std::string& folder,
                          const std::vector<std::pair<std::string, std::string>>& files,
                          const model::project_data& project, std::uint32_t volumes = 1) {
    std::vector<package::packed_file> packed;
    for (const auto& [name, data] : files) packed.push_back({name, {}, 0, data});
    package::build_options options;
    options.volume_count = volumes;
    const auto image = package::build_package(packed, options);
    const std::string at = folder + "\\";
    box.put(at + "spex1.dat", "installer image");
    box.put(at + "spex2.dat", "uninstaller image");
    box.put(at + "arkbs.vrz", model::serialize_project(project));
    box.put(at + "arkmtx.vrz", image.package_directory);
    box.put(at + "ark.vrz", image.piece_directory);
    box.put(at + "arkci.vrz", package::serialize_volume_header(image.header));
    for (std::size_t i = 0; i < image.volumes.size(); ++i) {
        box.put(at + package::volume_file_name(static_cast<std::uint32_t>(i)), image.volumes[i]);
    }
}

/// The default sandbox's Programs folders.
inline const std::string default_programs = "C:\\WINDOWS\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ";
inline const std::string user_programs = "C:\\WINDOWS\\Profiles\\user\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ";

}  // namespace installation_test
