#include "install/placement.hpp"

#include <cmath>
#include <cstdint>

#include "install/folder_macros.hpp"

namespace install {

namespace {

// Days since 1 March of year 0 style civil calendar conversions (proleptic Gregorian).
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civil_from_days(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

const std::int64_t stamp_epoch = days_from_civil(1899, 12, 30);

constexpr int seconds_per_day = 86400;

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<platform::civil_time> to_local_time(const model::date_time& stamp) {
    if (stamp.status != 0 || !std::isfinite(stamp.days)) return std::nullopt;
    // Far outside any year a file time can hold; keeps the conversions below in range.
    if (std::fabs(stamp.days) > 4.0e6) return std::nullopt;
    // The whole part counts days from the epoch; the fraction is the time of that day,
    // also for dates before the epoch (-1.25 is 29 December 1899, 06:00).
    const double whole = std::trunc(stamp.days);
    auto days = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(stamp.days - whole) * seconds_per_day));
    if (seconds >= seconds_per_day) {
        days += 1;
        seconds -= seconds_per_day;
    }
    platform::civil_time out;
    civil_from_days(stamp_epoch + days, out.year, out.month, out.day);
    if (out.year < 1601 || out.year > 9999) return std::nullopt;
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    return out;
}

model::date_time from_local_time(const platform::civil_time& time) {
    const std::int64_t days =
        days_from_civil(time.year, static_cast<unsigned>(time.month), static_cast<unsigned>(time.day)) -
        stamp_epoch;
    const double fraction = (time.hour * 3600.0 + time.minute * 60.0 + time.second) / seconds_per_day;
    model::date_time out;
    out.status = 0;
    out.days = days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
    return out;
}

placement_target placement_target_of(const model::file_object& f, file_origin origin,
                                     std::string_view destination_folder, std::string_view windows_dir) {
    placement_target out;
    if (destination_folder.empty()) {
        out.folders_path = f.install_path;
        out.destination = resolve_macros(f.install_path, windows_dir);
        return out;
    }
    const std::string_view install_path = f.install_path;
    const folder_macro macro = last_macro(install_path);
    // The macro and the backslash after it stand at the front of install_path.
    auto after_macro = [&] {
        const std::size_t skip = macro_text(macro).size() + 1;
        return std::string(install_path.substr(std::min(skip, install_path.size())));
    };
    std::string folder;
    std::string rest;
    if (macro == folder_macro::Windows || macro == folder_macro::System) {
        // System files keep their place whatever folder the user chose.
        folder = macro == folder_macro::Windows ? std::string(windows_dir) + "\\"
                                                : std::string(windows_dir) + "\\System\\";
        rest = origin == file_origin::FilesMap ? after_macro() : f.sub_path;
    } else {
        folder = std::string(destination_folder) + "\\";
        rest = f.sub_path;
    }
    out.destination = folder + rest;
    out.folders_path = out.destination;
    return out;
}

component_state component_state_of(const model::setup_files& files, std::int16_t component_id,
                                   const component_selection* selection) {
    const model::compo_file_object* component =
        files.component_map.find(static_cast<std::uint16_t>(component_id));
    if (component == nullptr) return component_state::NotInMap;
    const bool selected =
        selection != nullptr ? selection->count(component_id) != 0 : component->selected != 0;
    return selected ? component_state::Selected : component_state::Unselected;
}

overwrite_verdict decide_overwrite(const model::file_object& f,
                                   const std::optional<platform::file_status>& existing) {
    const bool exists = existing.has_value() && !existing->is_directory;
    switch (f.overwrite_mode) {
        case 1: {
            if (!exists) return overwrite_verdict::Copy;
            const auto stamp = to_local_time(f.modified_stamp);
            // Without a usable stamp there is nothing to compare: the packaged file wins.
            if (stamp && existing->last_write > *stamp) return overwrite_verdict::ExistingIsNewer;
            return overwrite_verdict::Copy;
        }
        case 2:
            if (exists && existing->size == static_cast<std::uint32_t>(f.file_size))
                return overwrite_verdict::SameSize;
            return overwrite_verdict::Copy;
        case 4:
            return exists ? overwrite_verdict::Exists : overwrite_verdict::Copy;
        default:
            return overwrite_verdict::Copy;
    }
}

std::string_view verdict_name(overwrite_verdict verdict) {
    switch (verdict) {
        case overwrite_verdict::Copy:
            return "copy";
        case overwrite_verdict::ExistingIsNewer:
            return "existing file is newer";
        case overwrite_verdict::SameSize:
            return "existing file has the same size";
        case overwrite_verdict::Exists:
            return "existing file is never overwritten";
    }
    return {};
}

void note_uninstall_source(std::string& source, const model::file_object& f,
                           std::string_view destination_folder) {
    if (!source.empty()) return;
    if (!destination_folder.empty()) {
        // The removal kit goes to the folder the user chose, wherever that is.
        source = destination_folder;
    } else if (first_macro(f.install_path) == folder_macro::ProgramFiles) {
        source = f.install_path;
    }
}

std::string uninstall_folder(std::string_view source, std::string_view destination_folder,
                             std::string_view windows_dir) {
    if (source.empty()) return {};
    if (!destination_folder.empty()) return std::string(destination_folder) + "\\";
    const std::size_t slash = last_backslash(source);
    std::string folder(slash == std::string_view::npos ? std::string_view() : source.substr(0, slash));
    const std::string_view macro = macro_text(folder_macro::ProgramFiles);
    for (auto at = find_text(folder, macro); at != std::string::npos; at = find_text(folder, macro, at)) {
        folder.replace(at, macro.size(), "Program Files");
    }
    std::string out = drive_root(windows_dir);
    if (!folder.empty()) {
        if (folder.front() == '\\' && !out.empty() && out.back() == '\\') folder.erase(0, 1);
        out += folder;
        out += '\\';
    }
    return out;
}

std::string uninstall_key(std::string_view app_name) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::string(app_name);
}

std::string uninstall_command(std::string_view folder) {
    std::string out;
    out.reserve(2 * folder.size() + 24);
    out += '"';
    out.append(folder).append("qlun.exe").append("\" \"");
    out.append(folder).append("arkbs.vrz");
    out += '"';
    return out;
}

std::string path_key(std::string_view path) {
    std::string key(path);
    for (std::size_t i = 0; i < key.size(); ++i) {
        // The trail byte of a double-byte character may look like an ASCII letter.
        if (is_lead_byte(key[i])) {
            ++i;
            continue;
        }
        key[i] = ascii_lower(key[i]);
    }
    return key;
}

bool same_path(std::string_view a, std::string_view b) {
    return a.size() == b.size() && path_key(a) == path_key(b);
}

placed_files::placed_files(const removal_record& earlier) {
    for (const removal_entry& e : earlier.entries) add(e);
}

void placed_files::add(removal_entry entry) {
    const auto [at, added] = index_.try_emplace(path_key(entry.real_path), record_.entries.size());
    if (added) {
        record_.entries.push_back(std::move(entry));
    } else {
        record_.entries[at->second] = std::move(entry);
    }
}

}  // namespace install
