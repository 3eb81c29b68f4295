#include "tools/install_run.hpp"

#include <charconv>
#include <ostream>
#include <stdexcept>

#include "install/folder_macros.hpp"
#include "install/installation.hpp"
#include "install/placement.hpp"
#include "model/format_error.hpp"
#include "model/project_data.hpp"
#include "platform/codepage.hpp"
#include "tools/install_plan_report.hpp"
#include "tools/install_sandbox.hpp"
#include "tools/install_screen.hpp"
#include "tools/package_files.hpp"
#include "tools/package_folder.hpp"
#include "uninstall/command_line.hpp"
#include "uninstall/removal_engine.hpp"
#include "uninstall/uninstall_startup.hpp"

namespace tools {

namespace {

/// An option or input that the command cannot use; the message is for the user.
class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string cp932_option(const std::string& utf8, const char* what) {
    auto text = platform::utf8_to_cp932(utf8);
    if (!text) throw usage_error(std::string(what) + " has no code page 932 form: " + utf8);
    return *text;
}

install::component_selection parse_selection(const std::string& text) {
    install::component_selection ids;
    std::size_t from = 0;
    while (from <= text.size() && !text.empty()) {
        const auto comma = text.find(',', from);
        const std::string part =
            text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        int value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || value < -32768 ||
            value > 32767) {
            throw usage_error("--select takes component ids separated by commas, not \"" + text + "\"");
        }
        ids.insert(static_cast<std::int16_t>(value));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return ids;
}

install::installation_choices choices_of(const install_arguments& args) {
    install::installation_choices choices;
    if (args.destination) {
        choices.destination_folder = cp932_option(*args.destination, "--dest");
        // The wizard stores the folder without a trailing backslash.
        while (install::ends_with_backslash(choices.destination_folder)) {
            choices.destination_folder.pop_back();
        }
    }
    if (args.select) choices.selection = parse_selection(*args.select);
    choices.user_name = cp932_option(args.user, "--user");
    choices.organisation = cp932_option(args.organisation, "--org");
    return choices;
}

struct loaded_package {
    std::unique_ptr<package_folder> folder;
    model::project_data project;
};

loaded_package load_package(const std::filesystem::path& dir) {
    loaded_package loaded;
    loaded.folder = read_package_folder(dir);
    if (!loaded.folder->project_bytes) throw usage_error("no readable arkbs.vrz in " + dir.string());
    try {
        loaded.project = model::parse_project(model::as_bytes(*loaded.folder->project_bytes));
    } catch (const model::format_error& e) {
        throw usage_error((dir / "arkbs.vrz").string() + ": " + e.what());
    }
    return loaded;
}

/// Stages and progress of vrz install on the terminal.
class terminal_progress : public install::installation_observer {
public:
    terminal_progress(std::ostream& out, std::ostream& err, bool bar) : out_(out), err_(err), bar_(bar) {}

    void stage_started(install::installation_stage stage) override {
        end_line();
        if (bar_) err_ << "== " << install::stage_name(stage) << "\n";
    }
    void copy_progress(int done, int total) override {
        if (!bar_ || total <= 0) return;
        constexpr int width = 40;
        const int filled = done * width / total;
        err_ << "\r  [" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << done << "/" << total
             << std::flush;
        line_open_ = true;
    }
    void failure_page() override {
        end_line();
        out_ << "The installation failed (the installer shows its failure page here).\n";
    }
    void end_line() {
        if (line_open_) err_ << "\n";
        line_open_ = false;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool bar_;
    bool line_open_ = false;
};

void print_install_report(const install::installation_report& report, platform::system& sys,
                          const model::project_data& project, std::ostream& out) {
    out << "Files placed\n";
    if (report.placed.empty()) out << "  nothing\n";
    for (const auto& placed : report.placed) out << "  " << display_text(placed.real_path) << "\n";

    out << "Uninstall entry\n";
    const std::string key = install::uninstall_key(project.app_name.app_name);
    const auto command = project.app_name.app_name.empty()
                             ? std::nullopt
                             : sys.query_value(platform::root_key::LocalMachine, key, "UninstallString");
    if (command) {
        out << "  key     HKEY_LOCAL_MACHINE\\" << display_text(key) << "\n";
        out << "    UninstallString = " << display_text(*command) << "\n";
    } else {
        out << "  none\n";
    }
    print_start_menu(report.start_menu, out);
    print_registry(report.registry, out);
    out << "Finish\n";
    if (report.restart_requested) {
        out << "  the project asks for a restart of Windows: not done\n";
    } else {
        out << "  no program is started\n";
    }
}

template <class F>
int guarded(std::ostream& err, F&& body) {
    try {
        return body();
    } catch (const usage_error& e) {
        err << "vrz: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        err << "vrz: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int run_plan(const install_arguments& args, std::ostream& out, std::ostream& err) {
    return guarded(err, [&] {
        const auto choices = choices_of(args);
        const auto package = load_package(args.package_dir);
        command_sandbox sandbox(args.root, args.machine, false);
        const auto plan = make_installation_plan(package.project, *package.folder, sandbox.sys(), choices);
        if (args.json) {
            out << plan_to_json(plan).dump(2) << "\n";
        } else {
            print_plan(plan, out);
        }
        return 0;
    });
}

int run_install(const install_arguments& args, std::ostream& out, std::ostream& err, bool progress) {
    return guarded(err, [&] {
        if (!args.root) throw usage_error("install needs --root");
        const auto choices = choices_of(args);
        const auto package = load_package(args.package_dir);
        for (const auto& problem : package.folder->problems) err << "vrz: warning: " << problem << "\n";
        command_sandbox sandbox(args.root, args.machine, true);
        auto& sys = sandbox.sys();

        terminal_screen screen(out, args.ignore_errors);
        terminal_progress observer(out, err, progress);
        screen.before_message = [&observer] { observer.end_line(); };

        const std::string folder = stage_package(sys, args.package_dir);
        install::installation run(sys, screen, package.project, folder, choices, &observer);
        const auto report = run.run(package.project.dsp_mainfrm.frame_title);
        observer.end_line();
        remove_staged_package(sys, folder);

        if (!report.completed) {
            err << "vrz: the installation stopped in the " << install::stage_name(report.failed_stage)
                << " stage\n";
            return 1;
        }
        out << "Installed " << display_text(package.project.app_name.app_name) << " into "
            << args.root->string() << "\n";
        print_install_report(report, sys, run.project(), out);
        return 0;
    });
}

int run_uninstall(const uninstall_arguments& args, std::ostream& out, std::ostream& err) {
    return guarded(err, [&] {
        if (args.project_path.empty() == !args.app) {
            throw usage_error("uninstall takes either PROJECT_PATH or --app NAME");
        }
        command_sandbox sandbox(args.root, std::nullopt, false);
        auto& sys = sandbox.sys();
        std::string project_path;
        if (args.app) {
            const std::string key = install::uninstall_key(cp932_option(*args.app, "--app"));
            const auto command = sys.query_value(platform::root_key::LocalMachine, key, "UninstallString");
            if (!command) throw usage_error("no uninstall entry for " + *args.app + " in the sandbox");
            // The system starts the uninstaller with this command line.
            project_path = uninstall::project_path_from_command_line(*command);
        } else {
            project_path = cp932_option(args.project_path, "PROJECT_PATH");
        }

        terminal_screen screen(out);
        model::project_data project;
        // The command itself is the user's confirmation: no question is asked.
        uninstall::uninstall_startup startup(sys, screen, uninstall::error_caption, model::load_project);
        if (!startup.load(project_path, project)) return 1;
        uninstall::removal_engine engine(sys, screen, project, project_path);
        for (auto next = engine.begin_removal(); next != uninstall::removal_timer::None;) {
            next = engine.run_timer(static_cast<int>(next));
        }
        return screen.stop_messages() == 0 ? 0 : 1;
    });
}

}  // namespace tools
