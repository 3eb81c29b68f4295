#include "model/archive_writer.hpp"

#include <bit>
#include <stdexcept>

#include "model/archive_reader.hpp"

namespace model {

namespace {

constexpr std::uint16_t big_tag = 0x7FFF;
constexpr std::uint16_t new_class_tag = 0xFFFF;
constexpr std::uint32_t big_class_flag = 0x80000000u;

}  // namespace

void archive_writer::write_double(double v) { out_.write_u64le(std::bit_cast<std::uint64_t>(v)); }

void archive_writer::write_date_time(const date_time& v) {
    write_int32(v.status);
    write_double(v.days);
}

void archive_writer::write_text(std::string_view text) {
    const std::size_t n = text.size();
    if (n <= 254) {
        out_.write_u8(static_cast<std::uint8_t>(n));
    } else if (n <= 0xFFFD) {
        out_.write_u8(0xFF);
        out_.write_u16le(static_cast<std::uint16_t>(n));
    } else {
        if (n > 0xFFFFFFFFu) throw std::length_error("text too long for an archive");
        out_.write_u8(0xFF);
        out_.write_u16le(0xFFFF);
        out_.write_u32le(static_cast<std::uint32_t>(n));
    }
    out_.write_bytes(text);
}

void archive_writer::write_count(std::uint32_t count) {
    if (count < 0xFFFF) {
        out_.write_u16le(static_cast<std::uint16_t>(count));
    } else {
        out_.write_u16le(0xFFFF);
        out_.write_u32le(count);
    }
}

std::uint32_t archive_writer::next_number() {
    if (last_number_ >= big_class_flag - 1) throw std::length_error("too many objects for an archive");
    return ++last_number_;
}

void archive_writer::write_tag(std::uint32_t number, bool is_class) {
    if (number < big_tag) {
        out_.write_u16le(static_cast<std::uint16_t>(is_class ? 0x8000u | number : number));
    } else {
        out_.write_u16le(big_tag);
        out_.write_u32le(is_class ? big_class_flag | number : number);
    }
}

void archive_writer::write_object(const record* object) {
    if (object == nullptr) {
        out_.write_u16le(0);
        return;
    }
    if (auto seen = objects_.find(object); seen != objects_.end()) {
        write_tag(seen->second, false);
        return;
    }
    const std::string_view name = object->class_name();
    if (auto known = classes_.find(name); known != classes_.end()) {
        write_tag(known->second, true);
    } else {
        out_.write_u16le(new_class_tag);
        out_.write_u16le(record_schema);
        out_.write_u16le(static_cast<std::uint16_t>(name.size()));
        out_.write_bytes(name);
        classes_.emplace(name, next_number());
    }
    objects_.emplace(object, next_number());
    object->write(*this);
}

}  // namespace model
