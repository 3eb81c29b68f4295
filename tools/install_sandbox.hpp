#pragma once
// The host sandbox of vrz plan, install and uninstall, and the package staged into it.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_system.hpp"

namespace tools {

/// The sandbox a command works on: ROOT, or a temporary one (removed again) when no root is given.
class command_sandbox {
public:
    /// root: the sandbox folder; create: make it when missing (otherwise a missing root is an
    /// error). machine: a machine.json for a fresh sandbox; a root that already holds a
    /// different machine.json is an error. Throws std::runtime_error or platform::sandbox_error.
    command_sandbox(const std::optional<std::filesystem::path>& root,
                    const std::optional<std::filesystem::path>& machine, bool create);
    ~command_sandbox();
    command_sandbox(const command_sandbox&) = delete;
    command_sandbox& operator=(const command_sandbox&) = delete;

    platform::host_system& sys() { return *sys_; }
    const std::filesystem::path& root() const { return root_; }
    bool temporary() const { return temporary_; }

private:
    std::filesystem::path root_;
    bool temporary_ = false;
    std::unique_ptr<platform::host_system> sys_;
};

/// The files of a package folder that the installer reads from it, in the order they are staged.
std::vector<std::string> package_file_names(const std::filesystem::path& package_dir);

/// Copies the package files of the host folder package_dir into a new folder at the root of
/// the Windows drive, as if the package were on a disk there, and returns that folder's path.
/// Throws std::runtime_error when a file cannot be read or written.
std::string stage_package(platform::system& sys, const std::filesystem::path& package_dir);

/// Deletes a staged package folder and its files.
void remove_staged_package(platform::system& sys, const std::string& folder);

}  // namespace tools
