#include "model/archive_reader.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>

#include "model/file_set_records.hpp"
#include "model/package_directory.hpp"
#include "model/settings_records.hpp"
#include "platform/codepage.hpp"

namespace model {

namespace {

struct record_class {
    std::string_view name;
    std::shared_ptr<record> (*make)();
};

template <class T>
std::shared_ptr<record> make_record() {
    return std::make_shared<T>();
}

// Every class that may occur behind an object tag, by its stored name.
constexpr std::array registry{
    record_class{"proj_app_name", make_record<proj_app_name>},
    record_class{"proj_act_info", make_record<proj_act_info>},
    record_class{"proj_hi_level_info", make_record<proj_hi_level_info>},
    record_class{"proj_kind_setup", make_record<proj_kind_setup>},
    record_class{"proj_dsp_mainfrm", make_record<proj_dsp_mainfrm>},
    record_class{"registry_info", make_record<registry_info>},
    record_class{"exec_check_file", make_record<exec_check_file>},
    record_class{"setup_files", make_record<setup_files>},
    record_class{"folder_object", make_record<folder_object>},
    record_class{"file_object", make_record<file_object>},
    record_class{"component_files", make_record<component_files>},
    record_class{"compo_folder_object", make_record<compo_folder_object>},
    record_class{"compo_file_object", make_record<compo_file_object>},
    record_class{"startup_menu_files", make_record<startup_menu_files>},
    record_class{"stmenu_folder_object", make_record<stmenu_folder_object>},
    record_class{"stmenu_file_object", make_record<stmenu_file_object>},
    record_class{"comp_file_object", make_record<comp_file_object>},
};

const record_class* find_class(std::string_view name) {
    for (const auto& entry : registry) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

constexpr std::uint16_t big_tag = 0x7FFF;
constexpr std::uint16_t new_class_tag = 0xFFFF;
constexpr std::uint32_t big_class_flag = 0x80000000u;
constexpr std::uint16_t wide_text_marker = 0xFFFE;

}  // namespace

std::shared_ptr<record> create_record(std::string_view class_name) {
    const record_class* entry = find_class(class_name);
    return entry ? entry->make() : nullptr;
}

// What an archive number stands for: a class, or an object read (or being read).
struct archive_reader::numbered {
    const record_class* cls = nullptr;  // set for a class number
    std::shared_ptr<record> object;     // set for an object number
    bool complete = false;
    std::uint64_t weight = 0;  // objects a recursive walk of the object visits, itself included
    std::size_t height = 0;    // levels of objects, itself included
};

archive_reader::archive_reader(std::span<const std::byte> bytes) : in_(bytes), numbers_(1), open_(1) {}

archive_reader::~archive_reader() = default;

void archive_reader::fail(std::size_t at, const std::string& what) const { throw format_error(at, what); }

double archive_reader::read_double() { return std::bit_cast<double>(in_.read_u64le()); }

date_time archive_reader::read_date_time() {
    date_time value;
    value.status = read_int32();
    value.days = read_double();
    return value;
}

std::uint32_t archive_reader::read_count() {
    const std::uint16_t count = read_uint16();
    return count == 0xFFFF ? read_uint32() : count;
}

std::size_t archive_reader::read_text_length() {
    const std::uint8_t b = in_.read_u8();
    if (b != 0xFF) return b;
    const std::uint16_t w = read_uint16();
    // After the wide-text marker, 0xFFFE is a plain length: the marker does not nest.
    return w == 0xFFFF ? read_uint32() : w;
}

std::string archive_reader::read_text() {
    const std::size_t at = position();
    const std::uint8_t b = in_.read_u8();
    std::size_t n = b;
    if (b == 0xFF) {
        const std::uint16_t w = read_uint16();
        if (w == wide_text_marker) {
            const std::size_t chars = read_text_length();
            if (chars > remaining() / 2) fail(at, "wide text runs past the end");
            auto bytes = in_.read_bytes(chars * 2);
            std::u16string wide(chars, u'\0');
            for (std::size_t i = 0; i < chars; ++i) {
                wide[i] = static_cast<char16_t>(static_cast<unsigned>(bytes[2 * i]) |
                                                (static_cast<unsigned>(bytes[2 * i + 1]) << 8));
            }
            return platform::utf16_to_cp932(wide);
        }
        n = w == 0xFFFF ? read_uint32() : w;
    }
    if (n > remaining()) fail(at, "text runs past the end");
    return in_.read_string(n);
}

void archive_reader::check_count(std::uint32_t count, std::size_t entry_size, std::size_t at) const {
    if (count > remaining() / entry_size) {
        fail(at, "count " + std::to_string(count) + " is larger than the data left");
    }
}

void archive_reader::account(std::uint64_t weight, std::size_t height, std::size_t at) {
    // The levels below the objects being read must stay within the bound, and so must
    // the number of objects a recursive walk visits: shared subtrees count per place.
    const std::size_t depth = open_.size() - 1;
    if (depth + height > max_object_depth) fail(at, "objects nested too deeply");
    frame& parent = open_.back();
    parent.weight += weight;
    if (parent.weight > max_expanded_objects) fail(at, "too many objects");
    parent.height = std::max(parent.height, height);
}

std::size_t archive_reader::read_new_class(std::size_t at) {
    const std::uint16_t schema = read_uint16();
    const std::uint16_t length = read_uint16();
    if (length > max_class_name_length) fail(at, "class name too long");
    const std::string name = in_.read_string(length);
    const record_class* cls = find_class(name);
    if (cls == nullptr) fail(at, "unknown class");
    if (schema != record_schema) fail(at, "schema " + std::to_string(schema) + " of class " + name);
    numbers_.push_back(numbered{cls, nullptr, true, 0, 0});
    return numbers_.size() - 1;
}

std::shared_ptr<record> archive_reader::read_new_object(std::size_t class_number, std::size_t at) {
    if (open_.size() > max_object_depth) fail(at, "objects nested too deeply");
    std::shared_ptr<record> object = numbers_[class_number].cls->make();
    const std::size_t self = numbers_.size();
    numbers_.push_back(numbered{nullptr, object, false, 0, 0});
    open_.push_back(frame{});
    object->read(*this);
    const frame own = open_.back();
    open_.pop_back();
    numbered& entry = numbers_[self];
    entry.complete = true;
    entry.weight = own.weight + 1;
    entry.height = own.height + 1;
    account(entry.weight, entry.height, at);
    return object;
}

std::shared_ptr<record> archive_reader::read_object() {
    const std::size_t at = position();
    const std::uint16_t tag = read_uint16();
    bool is_class = false;
    std::uint32_t number = 0;
    if (tag == big_tag) {
        const std::uint32_t v = read_uint32();
        is_class = (v & big_class_flag) != 0;
        number = v & ~big_class_flag;
    } else {
        is_class = (tag & 0x8000u) != 0;
        number = tag & 0x7FFFu;
    }

    if (!is_class) {
        if (number == 0) return nullptr;
        if (number >= numbers_.size() || !numbers_[number].object) {
            fail(at, "reference to object number " + std::to_string(number) + " that was not read");
        }
        const numbered& entry = numbers_[number];
        // An object still being read holds the reference itself: accepting it would make a cycle.
        if (!entry.complete) fail(at, "reference to an object that contains it");
        account(entry.weight, entry.height, at);
        return entry.object;
    }

    std::size_t class_number = number;
    if (tag == new_class_tag) {
        class_number = read_new_class(at);
    } else if (number == 0 || number >= numbers_.size() || numbers_[number].cls == nullptr) {
        fail(at, "class number " + std::to_string(number) + " that was not read");
    }
    return read_new_object(class_number, at);
}

}  // namespace model
