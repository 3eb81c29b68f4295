#pragma once
// The writing side of the object archive. Texts take the shortest plain form; classes
// and objects are numbered with one counter from 1; a tag uses the plain 16-bit form
// while its number is below 0x7FFF and the big form from 0x7FFF on; an object written
// a second time is written as a back reference.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/byte_cursor.hpp"
#include "model/record.hpp"
#include "model/record_map.hpp"

namespace model {

class archive_writer {
public:
    void write_int16(std::int16_t v) { out_.write_u16le(static_cast<std::uint16_t>(v)); }
    void write_uint16(std::uint16_t v) { out_.write_u16le(v); }
    void write_int32(std::int32_t v) { out_.write_u32le(static_cast<std::uint32_t>(v)); }
    void write_uint32(std::uint32_t v) { out_.write_u32le(v); }
    void write_double(double v);
    void write_date_time(const date_time& v);
    void write_text(std::string_view text);
    void write_count(std::uint32_t count);
    /// Writes a reference: null, a back reference, or the object's tag and fields.
    void write_object(const record* object);

    /// The count, then per entry the key and the object reference, in visiting order.
    template <class T>
    void write_map(const text_map<T>& map) {
        const auto entries = map.entries();
        write_count(static_cast<std::uint32_t>(entries.size()));
        for (const auto& [key, value] : entries) {
            write_text(key);
            write_object(value.get());
        }
    }
    template <class T>
    void write_map(const word_map<T>& map) {
        const auto entries = map.entries();
        write_count(static_cast<std::uint32_t>(entries.size()));
        for (const auto& [key, value] : entries) {
            write_uint16(key);
            write_object(value.get());
        }
    }

    const std::string& bytes() const { return out_.bytes(); }
    std::string take() { return out_.take(); }

private:
    void write_tag(std::uint32_t number, bool is_class);
    std::uint32_t next_number();

    byte_writer out_;
    std::uint32_t last_number_ = 0;
    std::unordered_map<std::string_view, std::uint32_t> classes_;
    std::unordered_map<const record*, std::uint32_t> objects_;
};

}  // namespace model
