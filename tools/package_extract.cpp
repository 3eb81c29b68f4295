#include "tools/package_extract.hpp"

#include <cstdio>
#include <iomanip>
#include <ostream>
#include <system_error>

#include "package/bit_reader.hpp"
#include "package/huffman_coder.hpp"
#include "tools/package_files.hpp"
#include "tools/package_folder.hpp"

namespace tools {

namespace fs = std::filesystem;

decoded_entry decode_packed(std::span<const std::byte> packed) {
    auto coder = std::make_unique<package::huffman_coder>();
    package::bit_reader in(packed);
    decoded_entry entry;
    std::size_t chunk = 1 << 16;
    while (!coder->finished()) {
        const std::size_t size = entry.data.size();
        entry.data.resize(size + chunk);
        auto room = std::as_writable_bytes(std::span(entry.data)).subspan(size);
        entry.data.resize(size + coder->decode_some(in, room));
        chunk = std::min<std::size_t>(chunk * 2, 1 << 24);
    }
    entry.complete = coder->reached_end_symbol();
    return entry;
}

namespace {

/// A one-line bar redrawn in place on a terminal.
class progress_bar {
public:
    progress_bar(std::ostream& err, bool on, std::size_t total) : err_(err), on_(on), total_(total) {}
    ~progress_bar() {
        if (on_ && drawn_) err_ << "\r\x1b[K" << std::flush;
    }
    void show(std::size_t done, const std::string& name) {
        if (!on_ || total_ == 0) return;
        constexpr std::size_t width = 30;
        const std::size_t filled = done * width / total_;
        err_ << "\r\x1b[K[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << done << "/"
             << total_ << " " << name << std::flush;
        drawn_ = true;
    }

private:
    std::ostream& err_;
    bool on_;
    std::size_t total_;
    bool drawn_ = false;
};

void report(std::ostream& err, const std::vector<std::string>& problems) {
    for (const auto& p : problems) err << "vrz: " << display_text(p) << "\n";
}

}  // namespace

int extract_package(const fs::path& package_dir, const fs::path& out_dir, std::ostream& out, std::ostream& err,
                    bool progress) {
    auto package = read_package_folder(package_dir);
    report(err, package->problems);
    bool failed = !package->problems.empty();

    std::error_code ec;
    fs::create_directories(out_dir, ec);
    if (ec || !fs::is_directory(out_dir, ec)) {
        err << "vrz: " << out_dir.string() << ": cannot create the folder\n";
        return 1;
    }
    const auto& entries = package->contents.entries;
    progress_bar bar(err, progress, entries.size());
    std::size_t extracted = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        // Unusable entries were reported with the package's problems, unsafe names among them.
        if (!entry.usable) continue;
        const std::string& name = entry.object->real_name;
        bar.show(i, display_text(name));
        const auto host = host_name(name);
        if (!host) {
            err << "vrz: entry " << entry.name << ": the name " << display_text(name)
                << " has no UTF-8 form; refused\n";
            failed = true;
            continue;
        }
        const decoded_entry decoded = decode_packed(entry.packed);
        if (!decoded.complete) {
            err << "vrz: entry " << entry.name << " (" << display_text(name)
                << "): the packed stream ends early; the file is cut short\n";
            failed = true;
        }
        try {
            write_host_file(out_dir / *host, decoded.data);
            ++extracted;
        } catch (const std::exception& e) {
            err << "vrz: " << e.what() << "\n";
            failed = true;
        }
    }
    bar.show(entries.size(), "");
    out << extracted << " of " << entries.size() << " files extracted to " << out_dir.string() << "\n";
    return failed ? 1 : 0;
}

int list_package(const fs::path& package_dir, std::ostream& out, std::ostream& err) {
    auto package = read_package_folder(package_dir);
    report(err, package->problems);
    out << std::left << std::setw(6) << "entry" << std::setw(7) << "volume" << std::setw(14) << "packed name"
        << std::setw(24) << "file" << std::right << std::setw(10) << "packed" << std::setw(11) << "size" << "\n";
    for (const auto& entry : package->contents.entries) {
        if (!entry.in_pieces) continue;
        const std::string real = entry.object ? display_text(entry.object->real_name) : "?";
        out << std::left << std::setw(6) << entry.name << std::setw(7) << entry.volume << std::setw(14)
            << display_text(entry.file_name) << std::setw(24) << real << std::right << std::setw(10);
        if (entry.in_volumes) {
            out << entry.packed.size() << std::setw(11) << decode_packed(entry.packed).data.size();
        } else {
            out << "-" << std::setw(11) << "-";
        }
        out << "\n";
    }
    return package->problems.empty() ? 0 : 1;
}

}  // namespace tools
