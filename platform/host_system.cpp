// host_system: the system interface over a sandbox folder of the build host.

#include "platform/host_system.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string_view>
#include <system_error>

#include "platform/codepage.hpp"
#include "platform/host_file.hpp"
#include "platform/shell_link_writer.hpp"

namespace platform {

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

constexpr const char* registry_file = "registry.json";
constexpr const char* machine_file = "machine.json";
constexpr const char* attributes_file = "attributes.json";
constexpr std::uint32_t settable_attributes = ReadOnly | Hidden | System | Archive;
// What GetDiskFreeSpace reports on the Windows 95 family for any large drive: just under 2 GB.
constexpr disk_space plenty_of_space{64, 512, 65535};
constexpr const char* shell_folders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// ---- code page 932 text ----

bool is_lead_byte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

/// Splits at backslashes (and slashes); the trail byte of a double-byte character is never a separator.
std::vector<std::string> split_path(std::string_view text) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (is_lead_byte(c) && i + 1 < text.size()) {
            parts.back() += text[i];
            parts.back() += text[++i];
        } else if (is_separator(text[i])) {
            parts.emplace_back();
        } else {
            parts.back() += text[i];
        }
    }
    return parts;
}

/// The form in which Windows compares names: ASCII and full-width Latin letters upper-cased,
/// every other character unchanged.
std::string fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (is_lead_byte(c) && i + 1 < text.size()) {
            auto trail = static_cast<unsigned char>(text[i + 1]);
            if (c == 0x82 && trail >= 0x81 && trail <= 0x9A) trail = static_cast<unsigned char>(trail - 0x21);
            out += text[i];
            out += static_cast<char>(trail);
            ++i;
        } else {
            out += ascii_upper(text[i]);
        }
    }
    return out;
}

/// A name Windows accepts for a file or folder (reserved characters are single bytes).
bool valid_name(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (is_lead_byte(c) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return true;
}

// Texts in the JSON files are UTF-8. A byte that is not part of a code page 932 character is
// kept as the private-use character U+F700 + byte (U+F780..U+F7FF), which no code page 932
// character maps to, so every byte string survives the round trip.

void append_escaped_byte(std::string& out, unsigned char byte) {
    unsigned code = 0xF700u + byte;
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
}

std::string encode_text(std::string_view cp932) {
    if (auto whole = cp932_to_utf8(cp932)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < cp932.size();) {
        std::size_t n = (is_lead_byte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size()) ? 2 : 1;
        if (auto one = cp932_to_utf8(cp932.substr(i, n))) {
            out += *one;
            i += n;
        } else {
            append_escaped_byte(out, static_cast<unsigned char>(cp932[i]));
            ++i;
        }
    }
    return out;
}

std::optional<std::string> decode_text(std::string_view utf8) {
    std::string out;
    std::size_t run = 0;
    auto flush = [&](std::size_t end) {
        if (end == run) return true;
        auto converted = utf8_to_cp932(utf8.substr(run, end - run));
        if (!converted) return false;
        out += *converted;
        return true;
    };
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        auto b0 = static_cast<unsigned char>(utf8[i]);
        auto b1 = static_cast<unsigned char>(utf8[i + 1]);
        auto b2 = static_cast<unsigned char>(utf8[i + 2]);
        if (b0 == 0xEF && (b1 == 0x9E || b1 == 0x9F) && b2 >= 0x80 && b2 <= 0xBF) {
            if (!flush(i)) return std::nullopt;
            out += static_cast<char>(0x80 + (b1 == 0x9F ? 0x40 : 0) + (b2 - 0x80));
            i += 2;
            run = i + 1;
        }
    }
    if (!flush(utf8.size())) return std::nullopt;
    return out;
}

fs::path utf8_path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string path_utf8(const fs::path& p) {
    std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// ---- time ----
// std::localtime shares one buffer: the sandbox is used from one thread only.

bool valid_civil(const civil_time& t) {
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1) return false;
    bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    int month_days = (t.month == 2 && !leap) ? 28 : days[t.month - 1];
    return t.day <= month_days && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
           t.second >= 0 && t.second <= 59;
}

/// Seconds since 1970 of a local civil time, in the host's time zone.
std::optional<std::int64_t> unix_from_civil(const civil_time& t) {
    if (!valid_civil(t)) return std::nullopt;
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    std::time_t s = std::mktime(&tm);
    if (s == static_cast<std::time_t>(-1) && !(tm.tm_year == 69 && tm.tm_mon == 11 && tm.tm_mday == 31 &&
                                               tm.tm_hour == 23 && tm.tm_min == 59 && tm.tm_sec == 59))
        return std::nullopt;
    return static_cast<std::int64_t>(s);
}

civil_time civil_from_unix(std::int64_t seconds) {
    auto s = static_cast<std::time_t>(seconds);
    const std::tm* tm = std::localtime(&s);
    if (!tm) return {};
    return civil_time{tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec};
}

std::int64_t unix_from_file_time(fs::file_time_type t) {
    auto sys = std::chrono::file_clock::to_sys(t);
    return std::chrono::floor<std::chrono::seconds>(sys).time_since_epoch().count();
}

fs::file_time_type file_time_from_unix_seconds(std::int64_t seconds) {
    return std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds)));
}

std::string format_civil(const civil_time& t) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buffer;
}

std::optional<civil_time> parse_civil(const std::string& text) {
    civil_time t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &tail) != 6 ||
        !valid_civil(t))
        return std::nullopt;
    return t;
}

// ---- host files ----

file_error error_from(const std::error_code& ec) {
    if (!ec) return file_error::None;
    if (ec == std::errc::no_such_file_or_directory) return file_error::NotFound;
    if (ec == std::errc::not_a_directory) return file_error::PathNotFound;
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
        ec == std::errc::read_only_file_system || ec == std::errc::is_a_directory ||
        ec == std::errc::file_exists || ec == std::errc::directory_not_empty)
        return file_error::AccessDenied;
    if (ec == std::errc::device_or_resource_busy || ec == std::errc::text_file_busy)
        return file_error::SharingViolation;
    if (ec == std::errc::no_space_on_device) return file_error::DiskFull;
    return file_error::Other;
}

/// Writes a whole file through a temporary file and a rename, so that a reader never sees half of it.
bool write_atomically(const fs::path& path, const std::string& content) {
    fs::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}

std::optional<json> read_json(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw sandbox_error("cannot read " + path_utf8(path));
    try {
        return json::parse(in);
    } catch (const json::exception& e) {
        throw sandbox_error(path_utf8(path) + ": " + e.what());
    }
}

std::string dump(const json& j) { return j.dump(2, ' ', false, json::error_handler_t::strict) + "\n"; }

class host_output_file : public output_file {
public:
    explicit host_output_file(std::ofstream out) : out_(std::move(out)) {}
    ~host_output_file() override { close(); }

    bool write(std::span<const std::byte> data) override {
        if (!out_.is_open()) return false;
        out_.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out_) failed_ = true;
        return !failed_;
    }

    bool close() override {
        if (out_.is_open()) {
            out_.close();
            if (!out_) failed_ = true;
        }
        return !failed_;
    }

private:
    std::ofstream out_;
    bool failed_ = false;
};

// ---- registry ----

const char* root_name(root_key root) {
    switch (root) {
        case root_key::CurrentUser:
            return "HKEY_CURRENT_USER";
        case root_key::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case root_key::Users:
            return "HKEY_USERS";
        case root_key::CurrentConfig:
            return "HKEY_CURRENT_CONFIG";
    }
    return "";
}

std::optional<root_key> root_from_name(const std::string& name) {
    for (root_key r :
         {root_key::CurrentUser, root_key::LocalMachine, root_key::Users, root_key::CurrentConfig})
        if (fold(name) == root_name(r)) return r;
    return std::nullopt;
}

/// The components of a sub-key path; nullopt for an empty component other than a trailing one.
std::optional<std::vector<std::string>> key_components(const std::string& sub_key) {
    if (sub_key.empty()) return std::vector<std::string>{};
    std::vector<std::string> parts;
    // Only backslashes separate keys; a slash is an ordinary character of a key name.
    std::string current;
    for (std::size_t i = 0; i < sub_key.size(); ++i) {
        auto c = static_cast<unsigned char>(sub_key[i]);
        if (is_lead_byte(c) && i + 1 < sub_key.size()) {
            current += sub_key[i];
            current += sub_key[++i];
        } else if (sub_key[i] == '\\') {
            parts.push_back(std::move(current));
            current.clear();
        } else {
            current += sub_key[i];
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    for (const auto& p : parts)
        if (p.empty()) return std::nullopt;
    return parts;
}

std::string join_key(root_key root, const std::vector<std::string>& parts, std::size_t count) {
    std::string path = root_name(root);
    for (std::size_t i = 0; i < count; ++i) path += "\\" + parts[i];
    return path;
}

// ---- machine facts ----

std::string json_text(const json& j, const std::string& what) {
    if (!j.is_string()) throw sandbox_error(std::string(machine_file) + ": " + what + " must be a string");
    auto text = decode_text(j.get<std::string>());
    if (!text) throw sandbox_error(std::string(machine_file) + ": " + what + " has no code page 932 form");
    return *text;
}

std::uint32_t json_u32(const json& j, const std::string& what) {
    if (!j.is_number_unsigned() || j.get<std::uint64_t>() > 0xFFFFFFFFu)
        throw sandbox_error(std::string(machine_file) + ": " + what + " must be a 32-bit unsigned number");
    return j.get<std::uint32_t>();
}

int drive_type_from_json(const json& j, const std::string& what) {
    static const std::pair<const char*, int> names[] = {
        {"unknown", DriveUnknown}, {"no_root_dir", DriveNoRootDir}, {"removable", DriveRemovable},
        {"fixed", DriveFixed},     {"remote", DriveRemote},         {"cdrom", DriveCdrom},
        {"ramdisk", DriveRamdisk}};
    if (j.is_number_unsigned() && j.get<std::uint64_t>() <= 6) return j.get<int>();
    if (j.is_string())
        for (const auto& [name, type] : names)
            if (j.get<std::string>() == name) return type;
    throw sandbox_error(std::string(machine_file) + ": " + what + " is not a drive type");
}

/// Free space stated in bytes, as 4 KB clusters of 512-byte sectors.
disk_space space_from_bytes(std::uint64_t bytes) {
    std::uint64_t clusters = bytes / 4096;
    return disk_space{8, 512, static_cast<std::uint32_t>(std::min<std::uint64_t>(clusters, 0xFFFFFFFFu))};
}

bool absolute_path(const std::string& p) {
    return p.size() >= 3 && is_ascii_letter(p[0]) && p[1] == ':' && p[2] == '\\';
}

}  // namespace

// ======================================================================================

struct host_system::resolved {
    file_error error = file_error::PathNotFound;  ///< None when the folder that holds the entry exists
    fs::path host;
    std::string windows;  ///< normalised Windows path with the stored spelling of existing names
    bool exists = false;
    bool is_directory = false;
    bool is_drive_root = false;
};

host_system::host_system(fs::path root) {
    std::error_code ec;
    root_ = fs::absolute(root, ec).lexically_normal();
    if (ec) throw sandbox_error("no sandbox folder: " + ec.message());
    if (!root_.has_filename()) root_ = root_.parent_path();
    drives_['C'] = drive{DriveFixed, plenty_of_space};
    load_machine();
    prepare_folders();
}

void host_system::load_machine() {
    auto config = read_json(root_ / machine_file);
    std::optional<std::string> default_programs, user_programs, current;
    bool default_programs_given = false, user_programs_given = false;
    if (config) {
        if (!config->is_object()) throw sandbox_error(std::string(machine_file) + ": not an object");
        for (const auto& [key, value] : config->items()) {
            if (key == "windows_directory") {
                windows_directory_ = json_text(value, key);
            } else if (key == "system_directory") {
                system_directory_ = json_text(value, key);
            } else if (key == "platform_id") {
                if (!value.is_number_unsigned() || (value.get<int>() != 1 && value.get<int>() != 2))
                    throw sandbox_error(std::string(machine_file) + ": platform_id must be 1 or 2");
                platform_id_ = value.get<int>();
            } else if (key == "user_name") {
                user_name_ = value.is_null() ? std::nullopt : std::optional(json_text(value, key));
            } else if (key == "current_directory") {
                current = json_text(value, key);
            } else if (key == "programs_folder") {
                default_programs_given = true;
                if (!value.is_null()) default_programs = json_text(value, key);
            } else if (key == "user_programs_folder") {
                user_programs_given = true;
                if (!value.is_null()) user_programs = json_text(value, key);
            } else if (key == "drives") {
                if (!value.is_object())
                    throw sandbox_error(std::string(machine_file) + ": drives must be an object");
                drives_.clear();
                for (const auto& [letter, d] : value.items()) {
                    std::string what = "drive " + letter;
                    if (letter.size() != 1 || !is_ascii_letter(letter[0]) || !d.is_object())
                        throw sandbox_error(std::string(machine_file) + ": " + what + " is malformed");
                    drive entry{DriveFixed, plenty_of_space};
                    for (const auto& [field, v] : d.items()) {
                        if (field == "type")
                            entry.type = drive_type_from_json(v, what + " type");
                        else if (field == "free_bytes") {
                            if (!v.is_number_unsigned())
                                throw sandbox_error(std::string(machine_file) + ": " + what + " free_bytes");
                            entry.space = space_from_bytes(v.get<std::uint64_t>());
                        } else if (field == "sectors_per_cluster")
                            entry.space.sectors_per_cluster = json_u32(v, what);
                        else if (field == "bytes_per_sector")
                            entry.space.bytes_per_sector = json_u32(v, what);
                        else if (field == "free_clusters")
                            entry.space.free_clusters = json_u32(v, what);
                        else
                            throw sandbox_error(std::string(machine_file) + ": unknown field " + field +
                                                " of " + what);
                    }
                    drives_[ascii_upper(letter[0])] = entry;
                }
            } else {
                throw sandbox_error(std::string(machine_file) + ": unknown setting " + key);
            }
        }
    }
    for (const std::string* dir : {&windows_directory_, &system_directory_}) {
        if (!absolute_path(*dir) || !drives_.count(ascii_upper((*dir)[0])))
            throw sandbox_error(std::string(machine_file) + ": " + *dir +
                                " is not a full path on a drive of the machine");
    }
    const std::string start_menu = "\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ";
    default_programs_ = default_programs_given
                            ? default_programs
                            : std::optional(windows_directory_ + "\\Profiles\\Default" + start_menu);
    if (user_programs_given)
        user_programs_ = user_programs;
    else if (user_name_ && !user_name_->empty())
        user_programs_ = windows_directory_ + "\\Profiles\\" + *user_name_ + start_menu;
    current_ = windows_directory_.substr(0, 2) + "\\";
    if (current) {
        if (!absolute_path(*current))
            throw sandbox_error(std::string(machine_file) + ": current_directory must be a full path");
        current_ = *current;
    }
}

void host_system::prepare_folders() {
    std::error_code ec;
    fs::create_directories(root_, ec);
    for (const auto& [letter, d] : drives_) {
        fs::create_directories(root_ / std::string(1, letter), ec);
        if (ec)
            throw sandbox_error("cannot create drive folder in " + path_utf8(root_) + ": " + ec.message());
    }
    load_registry();
    load_attributes();

    std::string temp =
        platform_id_ == 1 ? windows_directory_ + "\\TEMP" : windows_directory_.substr(0, 2) + "\\TEMP";
    std::vector<std::string> folders = {windows_directory_, system_directory_, temp};
    if (default_programs_) folders.push_back(*default_programs_);
    if (user_programs_) folders.push_back(*user_programs_);
    for (const auto& folder : folders) {
        std::vector<std::string> parts = split_path(folder);
        std::string path = parts[0];
        for (std::size_t i = 1; i < parts.size(); ++i) {
            if (parts[i].empty()) continue;
            path += "\\" + parts[i];
            if (create_directory(path) != file_error::None)
                throw sandbox_error("cannot create the folder " + encode_text(path) + " in the sandbox");
        }
    }
    std::string wanted = current_;
    if (!set_current_directory(wanted))
        throw sandbox_error(std::string(machine_file) + ": current_directory " + encode_text(wanted) +
                            " is not a folder");
    if (default_programs_) seed_programs_folder(root_key::Users, *default_programs_);
    if (user_programs_) seed_programs_folder(root_key::CurrentUser, *user_programs_);
}

void host_system::seed_programs_folder(root_key root, const std::string& folder) {
    std::string sub = root == root_key::Users ? std::string(".Default\\") + shell_folders : shell_folders;
    if (query_value(root, sub, "Programs")) return;
    if (!create_key(root, sub) || !set_value(root, sub, "Programs", folder))
        throw sandbox_error("cannot write " + path_utf8(root_ / registry_file));
}

// ---- paths ----

host_system::resolved host_system::resolve(const std::string& path) {
    resolved r;
    if (path.empty() || path.find('\0') != std::string::npos) return r;
    std::string_view rest = path;
    char letter = current_[0];
    std::vector<std::string> parts;
    auto current_parts = [&] {
        std::vector<std::string> cur;
        for (auto& p : split_path(std::string_view(current_).substr(2)))
            if (!p.empty()) cur.push_back(std::move(p));
        return cur;
    };
    if (rest.size() >= 2 && is_ascii_letter(rest[0]) && rest[1] == ':') {
        letter = ascii_upper(rest[0]);
        rest.remove_prefix(2);
        // "D:name" is relative to the current folder only when that is on D:.
        if ((rest.empty() || !is_separator(rest[0])) && letter == current_[0]) parts = current_parts();
    } else if (rest.size() >= 2 && is_separator(rest[0]) && is_separator(rest[1])) {
        return r;  // network paths have no place in the sandbox
    } else if (rest.empty() || !is_separator(rest[0])) {
        parts = current_parts();
    }
    for (auto& part : split_path(rest)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // Above a drive's root would leave the sandbox: refused rather than clamped.
            if (parts.empty()) return r;
            parts.pop_back();
            continue;
        }
        if (!valid_name(part)) return r;
        parts.push_back(std::move(part));
    }
    if (!drives_.count(letter)) return r;
    fs::path dir = root_ / std::string(1, letter);
    std::error_code ec;
    if (fs::symlink_status(dir, ec).type() != fs::file_type::directory) return r;
    std::string windows = std::string(1, letter) + ":";
    if (parts.empty()) {
        r.error = file_error::None;
        r.host = dir;
        r.windows = windows + "\\";
        r.exists = r.is_directory = r.is_drive_root = true;
        return r;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        bool last = i + 1 == parts.size();
        auto utf8 = cp932_to_utf8(parts[i]);
        if (!utf8) return r;
        // The stored entry: the exact name if present, otherwise the first that matches without case.
        fs::path found;
        std::string found_name;
        fs::file_type type = fs::symlink_status(dir / utf8_path(*utf8), ec).type();
        if (type != fs::file_type::not_found && type != fs::file_type::none) {
            found = dir / utf8_path(*utf8);
            found_name = parts[i];
        } else {
            std::string key = fold(parts[i]);
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                auto name = utf8_to_cp932(path_utf8(it->path().filename()));
                if (!name || fold(*name) != key) continue;
                if (found.empty() || *name < found_name) {
                    found = it->path();
                    found_name = *name;
                }
            }
            if (!found.empty()) type = fs::symlink_status(found, ec).type();
        }
        if (found.empty()) {
            if (!last) return r;
            r.error = file_error::None;
            r.host = dir / utf8_path(*utf8);
            r.windows = windows + "\\" + parts[i];
            return r;
        }
        if (type == fs::file_type::symlink) {
            // A link could lead anywhere on the host: never followed.
            r.error = file_error::AccessDenied;
            return r;
        }
        windows += "\\" + found_name;
        if (!last) {
            if (type != fs::file_type::directory) return r;
            dir = found;
            continue;
        }
        r.error = file_error::None;
        r.host = found;
        r.windows = windows;
        r.exists = true;
        r.is_directory = type == fs::file_type::directory;
    }
    return r;
}

std::optional<fs::path> host_system::host_path(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None) return std::nullopt;
    return r.host;
}

// ---- attributes sidecar ----

std::string host_system::sidecar_key(const fs::path& host) const {
    std::u8string s = host.lexically_relative(root_).generic_u8string();
    return std::string(s.begin(), s.end());
}

std::uint32_t host_system::attributes_of(const fs::path& host, bool is_directory) const {
    std::uint32_t bits = is_directory ? 0u : static_cast<std::uint32_t>(Archive);
    auto it = meta_.find(sidecar_key(host));
    if (it != meta_.end() && it->second.attributes) bits = *it->second.attributes;
    if (is_directory) return bits | Directory;
    return bits == 0 ? static_cast<std::uint32_t>(Normal) : bits;
}

void host_system::forget(const fs::path& host) {
    std::string key = sidecar_key(host);
    bool changed = false;
    for (auto it = meta_.lower_bound(key); it != meta_.end();) {
        if (it->first == key ||
            (it->first.size() > key.size() && it->first.compare(0, key.size(), key) == 0 &&
             it->first[key.size()] == '/')) {
            it = meta_.erase(it);
            changed = true;
        } else if (it->first.compare(0, key.size(), key) == 0) {
            ++it;  // a longer name with the same beginning, such as "a.txt2"
        } else {
            break;
        }
    }
    if (changed) save_attributes();
}

void host_system::load_attributes() {
    auto j = read_json(root_ / attributes_file);
    if (!j) return;
    if (!j->is_object()) throw sandbox_error(std::string(attributes_file) + ": not an object");
    for (const auto& [key, value] : j->items()) {
        file_meta m;
        if (!value.is_object())
            throw sandbox_error(std::string(attributes_file) + ": " + key + " is malformed");
        if (value.contains("attributes")) {
            if (!value["attributes"].is_number_unsigned())
                throw sandbox_error(std::string(attributes_file) + ": attributes of " + key);
            m.attributes = value["attributes"].get<std::uint32_t>() & settable_attributes;
        }
        if (value.contains("created")) {
            auto t = value["created"].is_string() ? parse_civil(value["created"].get<std::string>())
                                                  : std::nullopt;
            if (!t) throw sandbox_error(std::string(attributes_file) + ": creation time of " + key);
            m.created = t;
        }
        meta_[key] = m;
    }
}

void host_system::save_attributes() {
    json j = json::object();
    for (const auto& [key, m] : meta_) {
        json entry = json::object();
        if (m.attributes) entry["attributes"] = *m.attributes;
        if (m.created) entry["created"] = format_civil(*m.created);
        j[key] = entry;
    }
    // A failed write leaves the attributes in memory; the next change tries again.
    write_atomically(root_ / attributes_file, dump(j));
}

// ---- machine facts ----

std::string host_system::windows_directory() { return windows_directory_; }
std::string host_system::system_directory() { return system_directory_; }
int host_system::platform_id() { return platform_id_; }
std::optional<std::string> host_system::user_name() { return user_name_; }

std::uint32_t host_system::logical_drives() {
    std::uint32_t mask = 0;
    for (const auto& [letter, d] : drives_) mask |= 1u << (letter - 'A');
    return mask;
}

namespace {
/// The drive letter of a root such as "C:\", "C:" or "c:\"; 0 when root is not one.
char root_letter(const std::string& root) {
    if (root.size() < 2 || root.size() > 3 || !is_ascii_letter(root[0]) || root[1] != ':') return 0;
    if (root.size() == 3 && !is_separator(root[2])) return 0;
    return ascii_upper(root[0]);
}
}  // namespace

int host_system::drive_type(const std::string& root) {
    char letter = root.empty() ? current_[0] : root_letter(root);
    auto it = drives_.find(letter);
    return it == drives_.end() ? DriveNoRootDir : it->second.type;
}

std::optional<disk_space> host_system::free_space(const std::string& root) {
    char letter = root.empty() ? current_[0] : root_letter(root);
    auto it = drives_.find(letter);
    if (it == drives_.end()) return std::nullopt;
    return it->second.space;
}

// ---- files and folders ----

std::optional<file_status> host_system::status(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None || !r.exists) return std::nullopt;
    std::error_code ec;
    file_status s;
    s.is_directory = r.is_directory;
    if (!r.is_directory) {
        s.size = fs::file_size(r.host, ec);
        if (ec) return std::nullopt;
    }
    auto written = fs::last_write_time(r.host, ec);
    if (ec) return std::nullopt;
    s.attributes = attributes_of(r.host, r.is_directory);
    s.last_write = civil_from_unix(unix_from_file_time(written));
    auto it = meta_.find(sidecar_key(r.host));
    s.created = (it != meta_.end() && it->second.created) ? *it->second.created : s.last_write;
    return s;
}

file_error host_system::copy_file(const std::string& from, const std::string& to, bool replace) {
    resolved src = resolve(from);
    if (src.error != file_error::None) return src.error;
    if (!src.exists) return file_error::NotFound;
    if (src.is_directory) return file_error::AccessDenied;
    resolved dst = resolve(to);
    if (dst.error != file_error::None) return dst.error;
    if (dst.exists) {
        if (dst.is_directory || !replace) return file_error::AccessDenied;
        // Copying a file onto itself would empty it; Windows refuses with a sharing violation.
        if (dst.host == src.host) return file_error::SharingViolation;
        // CopyFile refuses to replace a read-only or hidden file.
        if (attributes_of(dst.host, false) & (ReadOnly | Hidden)) return file_error::AccessDenied;
    }
    std::error_code ec;
    auto written = fs::last_write_time(src.host, ec);
    if (ec) return error_from(ec);
    std::uint32_t attributes = attributes_of(src.host, false) & settable_attributes;
    fs::copy_file(src.host, dst.host, fs::copy_options::overwrite_existing, ec);
    if (ec) return error_from(ec);
    // CopyFile keeps the last-write time and the attributes, and marks the copy for archiving.
    fs::last_write_time(dst.host, written, ec);
    forget(dst.host);
    if ((attributes | Archive) != Archive) {
        meta_[sidecar_key(dst.host)].attributes = attributes | Archive;
        save_attributes();
    }
    return file_error::None;
}

file_error host_system::delete_file(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None) return r.error;
    if (!r.exists) return file_error::NotFound;
    if (r.is_directory || (attributes_of(r.host, false) & ReadOnly)) return file_error::AccessDenied;
    std::error_code ec;
    fs::remove(r.host, ec);
    if (ec) return error_from(ec);
    forget(r.host);
    return file_error::None;
}

file_error host_system::set_attributes(const std::string& path, std::uint32_t attributes) {
    resolved r = resolve(path);
    if (r.error != file_error::None) return r.error;
    if (!r.exists) return file_error::NotFound;
    if (r.is_drive_root) return file_error::AccessDenied;
    std::uint32_t bits = attributes & settable_attributes;
    auto& m = meta_[sidecar_key(r.host)];
    if (bits == (r.is_directory ? 0u : static_cast<std::uint32_t>(Archive)))
        m.attributes.reset();
    else
        m.attributes = bits;
    if (!m.attributes && !m.created) meta_.erase(sidecar_key(r.host));
    save_attributes();
    return file_error::None;
}

file_error host_system::set_file_times(const std::string& path, const civil_time& created,
                                       const civil_time& last_write) {
    resolved r = resolve(path);
    if (r.error != file_error::None) return r.error;
    if (!r.exists) return file_error::NotFound;
    auto seconds = unix_from_civil(last_write);
    if (!seconds || !valid_civil(created)) return file_error::Other;
    std::error_code ec;
    fs::last_write_time(r.host, file_time_from_unix_seconds(*seconds), ec);
    if (ec) return error_from(ec);
    meta_[sidecar_key(r.host)].created = created;
    save_attributes();
    return file_error::None;
}

file_error host_system::create_directory(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None) return r.error;
    if (r.exists) return r.is_directory ? file_error::None : file_error::AccessDenied;
    std::error_code ec;
    fs::create_directory(r.host, ec);
    if (ec) return error_from(ec);
    forget(r.host);
    return file_error::None;
}

file_error host_system::remove_directory(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None) return r.error;
    if (!r.exists) return file_error::NotFound;
    if (!r.is_directory) return file_error::PathNotFound;
    if (r.is_drive_root || (attributes_of(r.host, true) & ReadOnly)) return file_error::AccessDenied;
    std::error_code ec;
    if (!fs::is_empty(r.host, ec) || ec) return file_error::AccessDenied;
    // Windows keeps the current folder open and will not remove it.
    resolved cur = resolve(current_);
    if (cur.error == file_error::None && cur.host == r.host) return file_error::SharingViolation;
    fs::remove(r.host, ec);
    if (ec) return error_from(ec);
    forget(r.host);
    return file_error::None;
}

std::string host_system::current_directory() { return current_; }

bool host_system::set_current_directory(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None || !r.exists || !r.is_directory) return false;
    current_ = r.windows;
    return true;
}

std::vector<std::string> host_system::list_directory(const std::string& path) {
    std::vector<std::string> names;
    resolved r = resolve(path);
    if (r.error != file_error::None || !r.exists || !r.is_directory) return names;
    std::error_code ec;
    for (fs::directory_iterator it(r.host, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_symlink(ec)) continue;
        // Host names without a code page 932 form cannot be named by a Windows path: left out.
        if (auto name = utf8_to_cp932(path_utf8(it->path().filename()))) names.push_back(*name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string fa = fold(a), fb = fold(b);
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

std::unique_ptr<mapped_file> host_system::map_file(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None || !r.exists || r.is_directory) return nullptr;
    return map_host_file(r.host);
}

std::unique_ptr<output_file> host_system::create_file(const std::string& path, file_error* error) {
    auto fail = [&](file_error e) -> std::unique_ptr<output_file> {
        if (error) *error = e;
        return nullptr;
    };
    resolved r = resolve(path);
    if (r.error != file_error::None) return fail(r.error);
    // CreateFile with CREATE_ALWAYS refuses read-only, hidden and system files.
    if (r.exists && (r.is_directory || (attributes_of(r.host, false) & (ReadOnly | Hidden | System))))
        return fail(file_error::AccessDenied);
    std::ofstream out(r.host, std::ios::binary | std::ios::trunc);
    if (!out) return fail(file_error::Other);
    forget(r.host);
    if (error) *error = file_error::None;
    return std::make_unique<host_output_file>(std::move(out));
}

// ---- registry ----

void host_system::load_registry() {
    auto j = read_json(root_ / registry_file);
    if (!j) return;
    if (!j->is_object()) throw sandbox_error(std::string(registry_file) + ": not an object");
    for (const auto& [key_text, values] : j->items()) {
        auto path = decode_text(key_text);
        if (!path)
            throw sandbox_error(std::string(registry_file) + ": key " + key_text +
                                " has no code page 932 form");
        auto parts = key_components(*path);
        std::optional<root_key> root =
            (parts && !parts->empty()) ? root_from_name((*parts)[0]) : std::nullopt;
        if (!root || !values.is_object())
            throw sandbox_error(std::string(registry_file) + ": malformed key " + key_text);
        parts->erase(parts->begin());
        for (std::size_t n = 1; n <= parts->size(); ++n) {
            std::string full = join_key(*root, *parts, n);
            registry_.try_emplace(fold(full), reg_key{full, {}});
        }
        std::string full = join_key(*root, *parts, parts->size());
        auto& key = registry_.try_emplace(fold(full), reg_key{full, {}}).first->second;
        for (const auto& [name_text, data] : values.items()) {
            auto name = decode_text(name_text);
            auto text = data.is_string() ? decode_text(data.get<std::string>()) : std::nullopt;
            if (!name || !text)
                throw sandbox_error(std::string(registry_file) + ": value " + name_text + " of " + key_text +
                                    " is not a code page 932 string");
            key.values[fold(*name)] = reg_value{*name, *text};
        }
    }
}

void host_system::save_registry() {
    json j = json::object();
    for (const auto& [folded, key] : registry_) {
        // A root key is always there; it is written only when it holds values.
        if (key.values.empty() && key.path.find('\\') == std::string::npos) continue;
        json values = json::object();
        for (const auto& [n, v] : key.values) values[encode_text(v.name)] = encode_text(v.data);
        j[encode_text(key.path)] = values;
    }
    if (!write_atomically(root_ / registry_file, dump(j)))
        throw sandbox_error("cannot write " + path_utf8(root_ / registry_file));
}

std::optional<std::string> host_system::key_path(root_key root, const std::string& sub_key) const {
    auto parts = key_components(sub_key);
    if (!parts) return std::nullopt;
    return join_key(root, *parts, parts->size());
}

host_system::reg_key* host_system::find_key(root_key root, const std::string& sub_key) {
    auto path = key_path(root, sub_key);
    if (!path) return nullptr;
    auto it = registry_.find(fold(*path));
    if (it != registry_.end()) return &it->second;
    if (path->find('\\') != std::string::npos) return nullptr;
    // The root keys always exist; an entry is made when one is first needed.
    return &registry_.emplace(fold(*path), reg_key{*path, {}}).first->second;
}

bool host_system::key_exists(root_key root, const std::string& sub_key) {
    return find_key(root, sub_key) != nullptr;
}

bool host_system::create_key(root_key root, const std::string& sub_key) {
    auto parts = key_components(sub_key);
    if (!parts) return false;
    bool changed = false;
    for (std::size_t n = 1; n <= parts->size(); ++n) {
        std::string full = join_key(root, *parts, n);
        changed |= registry_.try_emplace(fold(full), reg_key{full, {}}).second;
    }
    if (!changed) return true;
    try {
        save_registry();
    } catch (const sandbox_error&) {
        return false;
    }
    return true;
}

std::optional<std::string> host_system::query_value(root_key root, const std::string& sub_key,
                                                    const std::string& name) {
    reg_key* key = find_key(root, sub_key);
    if (!key) return std::nullopt;
    auto it = key->values.find(fold(name));
    if (it == key->values.end()) return std::nullopt;
    return it->second.data;
}

bool host_system::set_value(root_key root, const std::string& sub_key, const std::string& name,
                            const std::string& data) {
    reg_key* key = find_key(root, sub_key);
    if (!key) return false;
    auto& value = key->values[fold(name)];
    if (value.name.empty()) value.name = name;
    value.data = data;
    try {
        save_registry();
    } catch (const sandbox_error&) {
        return false;
    }
    return true;
}

bool host_system::delete_value(root_key root, const std::string& sub_key, const std::string& name) {
    reg_key* key = find_key(root, sub_key);
    if (!key || key->values.erase(fold(name)) == 0) return false;
    try {
        save_registry();
    } catch (const sandbox_error&) {
        return false;
    }
    return true;
}

bool host_system::key_is_empty(root_key root, const std::string& sub_key) {
    reg_key* key = find_key(root, sub_key);
    if (!key || !key->values.empty()) return false;
    std::string prefix = fold(key->path) + "\\";
    auto it = registry_.lower_bound(prefix);
    return it == registry_.end() || it->first.compare(0, prefix.size(), prefix) != 0;
}

bool host_system::delete_key(root_key root, const std::string& sub_key) {
    auto path = key_path(root, sub_key);
    if (!path || path->find('\\') == std::string::npos) return false;
    auto it = registry_.find(fold(*path));
    if (it == registry_.end()) return false;
    std::string prefix = it->first + "\\";
    auto child = registry_.lower_bound(prefix);
    if (child != registry_.end() && child->first.compare(0, prefix.size(), prefix) == 0) return false;
    registry_.erase(it);
    try {
        save_registry();
    } catch (const sandbox_error&) {
        return false;
    }
    return true;
}

// ---- shell and processes ----

bool host_system::create_shell_link(const shell_link& link, const std::string& link_path) {
    resolved r = resolve(link_path);
    if (r.error != file_error::None) return false;
    if (r.exists && (r.is_directory || (attributes_of(r.host, false) & ReadOnly))) return false;

    shell_link_target target;
    resolved t = resolve(link.target);
    if (t.error == file_error::None && t.exists) {
        if (auto s = status(link.target)) {
            target.attributes = s->attributes;
            target.size = static_cast<std::uint32_t>(std::min<std::uint64_t>(s->size, 0xFFFFFFFFu));
            if (auto w = unix_from_civil(s->last_write))
                target.written = target.accessed = file_time_from_unix(*w);
            if (auto c = unix_from_civil(s->created)) target.created = file_time_from_unix(*c);
        }
    }
    if (char letter = link.target.size() >= 2 && link.target[1] == ':' ? ascii_upper(link.target[0]) : 0) {
        auto d = drives_.find(letter);
        if (d != drives_.end()) target.drive_type = d->second.type;
    }
    auto bytes = write_shell_link(link, target);
    if (!bytes) return false;
    {
        std::ofstream out(r.host, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
        out.close();
        if (!out) return false;
    }
    forget(r.host);
    return true;
}

bool host_system::start_process(const std::string& path) {
    resolved r = resolve(path);
    if (r.error != file_error::None || !r.exists || r.is_directory) return false;
    started_.push_back(r.windows);
    return true;
}

}  // namespace platform
