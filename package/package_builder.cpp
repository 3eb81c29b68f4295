#include "package/package_builder.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <set>
#include <stdexcept>

#include "model/byte_cursor.hpp"
#include "model/package_directory.hpp"
#include "package/file_names.hpp"
#include "package/huffman_coder.hpp"
#include "package/table_file_writer.hpp"
#include "package/table_record.hpp"

namespace package {

std::string generated_packed_name(std::uint32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "PK%06u.TMP", static_cast<unsigned>(number));
    return name;
}

namespace {

/// A case-folded copy for duplicate checks.
std::string folded(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool is_8_3_name(const std::string& name) {
    if (!is_plain_file_name(name) || name.size() > table_file_name_max) return false;
    const auto dot = name.find('.');
    if (dot == std::string::npos) return name.size() <= 8;
    return dot >= 1 && dot <= 8 && name.size() - dot - 1 <= 3 && name.find('.', dot + 1) == std::string::npos;
}

void check_names(const std::vector<packed_file>& files, std::vector<std::string>& packed_names) {
    std::set<std::string> real_seen;
    std::set<std::string> packed_seen;
    for (const auto& file : files) {
        if (!is_plain_file_name(file.real_name) || is_reserved_temp_name(file.real_name)) {
            throw std::invalid_argument("\"" + file.real_name + "\" cannot be a file name in the package");
        }
        if (!real_seen.insert(folded(file.real_name)).second) {
            throw std::invalid_argument("\"" + file.real_name + "\" occurs twice in the package");
        }
        if (file.packed_name.empty()) continue;
        if (!is_8_3_name(file.packed_name) || is_reserved_temp_name(file.packed_name)) {
            throw std::invalid_argument("packed name \"" + file.packed_name + "\" is not a plain 8.3 name");
        }
        if (!packed_seen.insert(folded(file.packed_name)).second) {
            throw std::invalid_argument("packed name \"" + file.packed_name + "\" occurs twice");
        }
    }
    std::uint32_t next = 1;
    for (const auto& file : files) {
        if (!file.packed_name.empty()) {
            packed_names.push_back(file.packed_name);
            continue;
        }
        std::string name;
        do {
            name = generated_packed_name(next++);
        } while (packed_seen.count(folded(name)));
        packed_seen.insert(folded(name));
        packed_names.push_back(name);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (same_file_name(packed_names[i], files[i].real_name) ||
            std::any_of(files.begin(), files.end(),
                        [&](const packed_file& f) { return same_file_name(f.real_name, packed_names[i]); })) {
            throw std::invalid_argument("packed name \"" + packed_names[i] + "\" is also a file name");
        }
    }
}

/// Sizes of the volumes that cut total bytes.
std::vector<std::uint64_t> volume_sizes(std::uint64_t total, const build_options& options) {
    std::vector<std::uint64_t> sizes;
    if (options.volume_size > 0) {
        for (std::uint64_t left = total; left > 0; left -= std::min(left, options.volume_size)) {
            sizes.push_back(std::min(left, options.volume_size));
        }
        if (sizes.empty()) sizes.push_back(0);
        return sizes;
    }
    if (options.volume_count == 0) throw std::invalid_argument("a package needs at least one volume");
    for (std::uint32_t i = 0; i < options.volume_count; ++i) {
        sizes.push_back(total / options.volume_count + (i < total % options.volume_count ? 1 : 0));
    }
    return sizes;
}

/// Index of the volume holding byte offset of the joined file.
std::size_t volume_of(std::uint64_t offset, const std::vector<std::uint64_t>& sizes) {
    std::uint64_t end = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        end += sizes[i];
        if (offset < end) return i;
    }
    return sizes.empty() ? 0 : sizes.size() - 1;
}

}  // namespace

package_image build_package(const std::vector<packed_file>& files, const build_options& options) {
    if (options.volume_size > 0 && options.volume_count != 1) {
        throw std::invalid_argument("give either a volume count or a volume size");
    }
    std::vector<std::string> packed_names;
    check_names(files, packed_names);

    package_image image;
    std::vector<std::string> packed;
    std::uint64_t total_size = 0;
    for (const auto& file : files) {
        packed.push_back(huffman_encode(model::as_bytes(file.data)));
        total_size += file.data.size();
    }

    // Where each entry's data will start in the joined table: directory order, by name.
    std::vector<std::uint32_t> order(files.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(), [](std::uint32_t a, std::uint32_t b) {
        return compare_entry_names(entry_name(a + 1), entry_name(b + 1)) < 0;
    });
    const std::uint64_t data_start = table_directory_offset + files.size() * table_record_size + 4;
    std::vector<std::uint64_t> starts(files.size());
    std::uint64_t at = data_start;
    for (std::uint32_t k : order) {
        starts[k] = at;
        at += packed[k].size();
    }
    if (at > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("package larger than 4 GiB");
    const std::vector<std::uint64_t> sizes = volume_sizes(at, options);

    // Volume numbers: 1, then +1 whenever the furthest starting volume so far moves on.
    std::vector<std::uint32_t> volumes(files.size());
    std::size_t furthest = 0;
    std::uint32_t number = 1;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::size_t v = volume_of(starts[k], sizes);
        if (k > 0 && v > furthest) ++number;
        furthest = std::max(furthest, v);
        volumes[k] = number;
    }

    table_file_writer pieces;
    table_file_writer joined;
    pieces.add({entry_name(0), 0, "", "", {}});
    model::package_directory directory;
    for (std::uint32_t k = 0; k < files.size(); ++k) {
        const std::string name = entry_name(k + 1);
        pieces.add({name, volumes[k], packed_names[k], "", {}});
        joined.add({name, volumes[k], packed_names[k], packed[k], {}});
        auto object = std::make_shared<model::comp_file_object>();
        object->real_name = files[k].real_name;
        object->packed_value = files[k].packed_value;
        object->packed_name = packed_names[k];
        directory.insert_or_assign(packed_names[k], object);
        image.entries.push_back({k + 1, volumes[k], packed_names[k], files[k].real_name, packed[k].size(),
                                 files[k].data.size()});
    }
    image.package_directory = model::serialize_package_directory(directory);
    image.piece_directory = pieces.bytes();
    image.joined = joined.bytes();

    std::uint64_t offset = 0;
    for (std::uint64_t size : sizes) {
        image.volumes.push_back(image.joined.substr(offset, size));
        offset += size;
    }
    image.header.volume_count = static_cast<std::uint32_t>(image.volumes.size());
    image.header.value_1 = options.value_1;
    image.header.value_2 = options.value_2;
    image.header.required_bytes = options.required_bytes.value_or(
        static_cast<std::uint32_t>(std::min<std::uint64_t>(total_size, std::numeric_limits<std::uint32_t>::max())));
    return image;
}

}  // namespace package
