#include "tools/install_sandbox.hpp"

#include <random>
#include <stdexcept>

#include "install/folder_macros.hpp"
#include "model/byte_cursor.hpp"
#include "package/volume_join.hpp"
#include "tools/package_files.hpp"

namespace tools {

namespace fs = std::filesystem;

namespace {

constexpr const char* machine_file = "machine.json";

fs::path fresh_temporary_root() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("vrz_sandbox_" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) return candidate;
    }
    throw std::runtime_error("cannot make a temporary sandbox folder");
}

void place_machine_file(const fs::path& root, const fs::path& machine) {
    const auto wanted = read_host_file(machine);
    if (!wanted) throw std::runtime_error("cannot read " + machine.string());
    const fs::path target = root / machine_file;
    if (fs::exists(target)) {
        if (read_host_file(target) != wanted) {
            throw std::runtime_error(root.string() + " already has a different " + machine_file);
        }
        return;
    }
    write_host_file(target, *wanted);
}

}  // namespace

command_sandbox::command_sandbox(const std::optional<fs::path>& root, const std::optional<fs::path>& machine,
                                 bool create) {
    if (root) {
        root_ = *root;
        if (!fs::is_directory(root_)) {
            if (!create) throw std::runtime_error("no sandbox at " + root_.string());
            fs::create_directories(root_);
        }
    } else {
        root_ = fresh_temporary_root();
        temporary_ = true;
    }
    try {
        if (machine) place_machine_file(root_, *machine);
        sys_ = std::make_unique<platform::host_system>(root_);
    } catch (...) {
        if (temporary_) {
            std::error_code ec;
            fs::remove_all(root_, ec);
        }
        throw;
    }
}

command_sandbox::~command_sandbox() {
    sys_.reset();
    if (temporary_) {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
}

std::vector<std::string> package_file_names(const fs::path& package_dir) {
    std::vector<std::string> names;
    for (const char* name : {"arkbs.vrz", "arkmtx.vrz", "ark.vrz", "arkci.vrz", "licence.lic", "readme.txt",
                             "raybinf.vrz", "spex1.dat", "spex2.dat"}) {
        if (fs::is_regular_file(package_dir / name)) names.emplace_back(name);
    }
    for (std::uint32_t k = 0; k < 1000; ++k) {
        const std::string name = package::volume_file_name(k);
        if (!fs::is_regular_file(package_dir / name)) break;
        names.push_back(name);
    }
    return names;
}

std::string stage_package(platform::system& sys, const fs::path& package_dir) {
    const std::string base = install::drive_root(sys) + "VRZSETUP";
    std::string folder = base;
    for (int n = 1; sys.status(folder); ++n) folder = base + std::to_string(n);
    if (sys.create_directory(folder) != platform::file_error::None) {
        throw std::runtime_error("cannot make the folder for the package in the sandbox");
    }
    for (const auto& name : package_file_names(package_dir)) {
        const auto bytes = read_host_file(package_dir / name);
        if (!bytes) throw std::runtime_error("cannot read " + (package_dir / name).string());
        auto out = sys.create_file(folder + "\\" + name);
        if (!out || !out->write(model::as_bytes(*bytes)) || !out->close()) {
            throw std::runtime_error("cannot write " + name + " into the sandbox");
        }
    }
    return folder;
}

void remove_staged_package(platform::system& sys, const std::string& folder) {
    for (const auto& name : sys.list_directory(folder)) {
        sys.set_attributes(folder + "\\" + name, platform::Normal);
        sys.delete_file(folder + "\\" + name);
    }
    sys.remove_directory(folder);
}

}  // namespace tools
