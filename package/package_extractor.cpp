#include "package/package_extractor.hpp"

#include <algorithm>
#include <exception>

#include "model/format_error.hpp"
#include "package/huffman_coder.hpp"
#include "package/package_reader.hpp"
#include "package/table_record.hpp"
#include "package/volume_join.hpp"
#include "platform/system.hpp"

namespace package {

package_extractor::package_extractor(platform::system& sys, std::string temp_folder)
    : sys_(sys), temp_folder_(std::move(temp_folder)) {}

bool package_extractor::load_directory() {
    directory_.clear();
    auto mapping = sys_.map_file(temp_folder_ + package_directory_name);
    if (!mapping) return false;
    try {
        directory_ = model::parse_package_directory(mapping->bytes());
    } catch (const std::exception&) {
        directory_.clear();
        return false;
    }
    return true;
}

bool package_extractor::open_piece_table() {
    last_entry_number_ = 0;
    auto mapping = sys_.map_file(temp_folder_ + piece_directory_name);
    if (!mapping || mapping->bytes().size() < 4) return false;
    const std::uint32_t count = table_record_offset(mapping->bytes());
    // Entries are numbered 1 to N - 1; init refuses a count the file cannot hold.
    if (count == 0 || count > INT32_MAX) return false;
    const auto slots = static_cast<std::int32_t>(count - 1);
    if (!piece_table_.init(std::move(mapping), slots, temp_folder_ + piece_directory_name)) return false;
    last_entry_number_ = slots;
    return true;
}

bool package_extractor::next_volume() {
    volume_counter_ = std::max(volume_counter_ + 1, pending_volume_);
    pending_volume_ = 0;
    volume_table_.close_all();
    const std::string path = temp_folder_ + joined_volume_name;
    if (!sys_.status(path)) return false;
    return volume_table_.init(sys_, path, last_entry_number_);
}

void package_extractor::close_all() {
    piece_table_.close_all();
    volume_table_.close_all();
}

extract_result package_extractor::damaged(std::string problem) {
    return {extract_status::Damaged, {}, std::move(problem)};
}

namespace {

void clear_attributes_if_present(platform::system& sys, const std::string& path) {
    if (sys.status(path)) sys.set_attributes(path, platform::Normal);
}

}  // namespace

extract_result package_extractor::extract_entry(std::int32_t i) {
    if (i < 1 || i > last_entry_number_) return damaged("entry " + std::to_string(i) + " is out of range");
    const std::string name = entry_name(static_cast<std::uint32_t>(i));

    table_handle piece = piece_table_.open(name);
    if (!piece) {
        piece_table_.close_all();
        return damaged("entry " + name + " is missing from the piece directory");
    }
    const auto bytes = piece_table_.record_of(piece);
    const table_record record = parse_table_record(bytes.first<table_record_size>());
    piece_table_.close(piece);

    if (record.volume != volume_counter_) {
        if (record.volume < volume_counter_) {
            return damaged("entry " + name + " has volume " + std::to_string(record.volume) + " after volume " +
                           std::to_string(volume_counter_));
        }
        pending_volume_ = record.volume;
        return {extract_status::VolumeChange, {}, "entry " + name + " is on volume " + std::to_string(record.volume)};
    }

    if (!is_plain_file_name(record.file_name) || is_reserved_temp_name(record.file_name)) {
        return damaged("entry " + name + " names the packed file \"" + record.file_name + "\"");
    }
    const model::comp_file_object* object = find_packed_object(directory_, record.file_name);
    if (!object) return damaged("packed file \"" + record.file_name + "\" is not in the package directory");
    if (!is_plain_file_name(object->real_name) || is_reserved_temp_name(object->real_name) ||
        same_file_name(object->real_name, record.file_name)) {
        return damaged("entry " + name + " names the file \"" + object->real_name + "\"");
    }

    table_handle entry = volume_table_.open(name);
    if (!entry) {
        volume_table_.close_all();
        return {extract_status::NameNotFound, {}, "entry " + name + " is missing from the joined volumes"};
    }
    const std::int64_t size = entry->size;
    const std::byte* data = volume_table_.lock(entry, 0, size);

    packed_path_ = temp_folder_ + record.file_name;
    clear_attributes_if_present(sys_, packed_path_);
    bool written = false;
    if (auto out = sys_.create_file(packed_path_)) {
        written = out->write({data, static_cast<std::size_t>(size)});
        written = out->close() && written;
    }
    volume_table_.unlock(entry, 0, size);
    volume_table_.close(entry);
    if (!written) return {extract_status::WriteFailure, {}, "cannot write " + packed_path_};

    const std::string output = temp_folder_ + object->real_name;
    clear_attributes_if_present(sys_, output);
    if (!decode_file(sys_, packed_path_, output)) {
        return {extract_status::WriteFailure, {}, "cannot decode " + packed_path_ + " into " + output};
    }
    return {extract_status::Done, object->real_name, {}};
}

}  // namespace package
