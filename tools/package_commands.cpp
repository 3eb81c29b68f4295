// vrz pack MANIFEST OUTDIR, vrz extract [--list] PACKAGE_DIR [OUTDIR], vrz verify PACKAGE_DIR.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <unistd.h>

#include "tools/commands.hpp"
#include "tools/package_extract.hpp"
#include "tools/package_files.hpp"
#include "tools/package_pack.hpp"
#include "tools/package_verify.hpp"

namespace tools {

namespace {

[[noreturn]] void failed(int code, const std::string& message) {
    if (!message.empty()) std::cerr << "vrz: " << message << "\n";
    throw command_failed(code, message);
}

void pack(const std::string& manifest_path, const std::string& out_dir) {
    try {
        const auto image = pack_package(read_manifest(manifest_path), out_dir);
        std::cout << image.entries.size() << " files packed into " << image.volumes.size() << " volumes in "
                  << out_dir << "\n";
    } catch (const manifest_error& e) {
        failed(1, manifest_path + ": " + display_text(e.what()));
    } catch (const std::runtime_error& e) {
        failed(1, e.what());
    }
}

struct extract_arguments {
    bool list = false;
    std::string package_dir;
    std::string out_dir;
};

void extract(const extract_arguments& args) {
    int code = 0;
    if (args.list) {
        code = list_package(args.package_dir, std::cout, std::cerr);
    } else {
        if (args.out_dir.empty()) failed(2, "extract needs OUTDIR (or --list)");
        const bool terminal = isatty(fileno(stderr)) != 0;
        code = extract_package(args.package_dir, args.out_dir, std::cout, std::cerr, terminal);
    }
    if (code != 0) throw command_failed(code);
}

}  // namespace

void add_package_commands(CLI::App& app) {
    auto* pack_cmd = app.add_subcommand("pack", "Build a package folder from a manifest (docs/manifest.md)");
    auto manifest = std::make_shared<std::string>();
    auto pack_out = std::make_shared<std::string>();
    pack_cmd->add_option("MANIFEST", *manifest, "the manifest (JSON)")->required();
    pack_cmd->add_option("OUTDIR", *pack_out, "the package folder to write")->required();
    pack_cmd->callback([manifest, pack_out] { pack(*manifest, *pack_out); });

    auto* extract_cmd = app.add_subcommand("extract", "Decode every file of a package folder");
    auto args = std::make_shared<extract_arguments>();
    extract_cmd->add_flag("--list", args->list, "only list the entries");
    extract_cmd->add_option("PACKAGE_DIR", args->package_dir, "the package folder")->required();
    extract_cmd->add_option("OUTDIR", args->out_dir, "the folder to write the files into");
    extract_cmd->callback([args] { extract(*args); });

    auto* verify_cmd = app.add_subcommand("verify", "Check a package folder and report every problem");
    auto verify_dir = std::make_shared<std::string>();
    verify_cmd->add_option("PACKAGE_DIR", *verify_dir, "the package folder")->required();
    verify_cmd->callback([verify_dir] {
        const int code = verify_package(*verify_dir, std::cout);
        if (code != 0) throw command_failed(code);
    });
}

}  // namespace tools
