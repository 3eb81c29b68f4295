#pragma once
// The reading side of the object archive: little-endian fields, length-prefixed texts,
// and object references tagged with class and object numbers.
//
// Every object read through a reference is numbered; a later back reference yields the
// same object. Hostile input is bounded: counts are checked against the bytes left,
// objects nest at most max_object_depth levels (back references included), and the
// tree that a recursive walk of the document visits, counting a shared object once per
// place, holds at most max_expanded_objects objects.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/byte_cursor.hpp"
#include "model/format_error.hpp"
#include "model/record.hpp"
#include "model/record_map.hpp"

namespace model {

/// Deepest nesting of objects inside objects (a folder inside a folder counts one level).
inline constexpr std::size_t max_object_depth = 64;
/// Most objects a recursive walk of one archive may visit, shared objects counted per place.
inline constexpr std::uint64_t max_expanded_objects = 1u << 20;
/// Longest class name a reader accepts.
inline constexpr std::size_t max_class_name_length = 63;

/// A fresh object of the record class of that name, or null for an unknown name.
std::shared_ptr<record> create_record(std::string_view class_name);
/// The stored schema of every record class.
inline constexpr std::uint16_t record_schema = 0;

class archive_reader {
public:
    explicit archive_reader(std::span<const std::byte> bytes);
    ~archive_reader();
    archive_reader(const archive_reader&) = delete;
    archive_reader& operator=(const archive_reader&) = delete;

    std::size_t position() const { return in_.position(); }
    std::size_t remaining() const { return in_.remaining(); }

    std::int16_t read_int16() { return static_cast<std::int16_t>(in_.read_u16le()); }
    std::uint16_t read_uint16() { return in_.read_u16le(); }
    std::int32_t read_int32() { return static_cast<std::int32_t>(in_.read_u32le()); }
    std::uint32_t read_uint32() { return in_.read_u32le(); }
    double read_double();
    date_time read_date_time();
    /// A text in any of its stored forms; the wide form is converted to code page 932.
    std::string read_text();
    /// A count: uint16, or 0xFFFF and a uint32.
    std::uint32_t read_count();

    /// An object reference: null, a back reference, or a new object read in full.
    std::shared_ptr<record> read_object();
    /// An object reference that must be null or of class T; anything else is malformed.
    template <class T>
    std::shared_ptr<T> read_object_as();

    /// A map: a count, then per entry a key and an object reference. Each pair is inserted
    /// in stored order, so a repeated key replaces the earlier value.
    template <class T>
    void read_map(text_map<T>& map);
    template <class T>
    void read_map(word_map<T>& map);

private:
    struct numbered;
    /// Throws unless count entries of at least entry_size bytes each can follow.
    void check_count(std::uint32_t count, std::size_t entry_size, std::size_t at) const;
    std::size_t read_text_length();
    [[noreturn]] void fail(std::size_t at, const std::string& what) const;
    std::shared_ptr<record> read_new_object(std::size_t class_number, std::size_t at);
    std::size_t read_new_class(std::size_t at);
    /// Adds the walk size and height of a child reference to the object being read.
    void account(std::uint64_t weight, std::size_t height, std::size_t at);

    byte_cursor in_;
    std::vector<numbered> numbers_;  // index 0 is unused: numbers start at 1
    struct frame {
        std::uint64_t weight = 0;
        std::size_t height = 0;
    };
    std::vector<frame> open_;  // objects being read, outermost first; [0] is the archive
};

template <class T>
std::shared_ptr<T> archive_reader::read_object_as() {
    const std::size_t at = position();
    std::shared_ptr<record> object = read_object();
    if (!object) return nullptr;
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (!typed) fail(at, "object of class " + std::string(object->class_name()) + " where another class belongs");
    return typed;
}

template <class T>
void archive_reader::read_map(text_map<T>& map) {
    const std::size_t at = position();
    const std::uint32_t count = read_count();
    check_count(count, 3, at);  // a key of at least one byte and a tag of two
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string key = read_text();
        map.insert_or_assign(key, read_object_as<T>());
    }
}

template <class T>
void archive_reader::read_map(word_map<T>& map) {
    const std::size_t at = position();
    const std::uint32_t count = read_count();
    check_count(count, 4, at);  // a key of two bytes and a tag of two
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint16_t key = read_uint16();
        map.insert_or_assign(key, read_object_as<T>());
    }
}

}  // namespace model
