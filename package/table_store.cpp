#include "package/table_store.hpp"

#include <cstring>
#include <functional>
#include <new>

#include "package/table_record.hpp"
#include "platform/system.hpp"

namespace package {

table_store::~table_store() = default;

void table_store::trace(std::string_view text) const {
    if (trace_) trace_(text);
}

bool table_store::init(platform::system& sys, const std::string& name, std::int32_t n) {
    return init(sys.map_file(name), n, name);
}

bool table_store::init(std::unique_ptr<platform::mapped_file> mapping, std::int32_t n,
                       const std::string& display_name) {
    close_all();
    if (lock_count_ != 0) {
        // The old table stays mapped for the sake of its locked pointers; it is never released.
        retired_mappings_.push_back(std::move(mapping_));
        retired_slots_.push_back(std::move(slots_storage_));
        directory_ = nullptr;
        view_ = {};
        record_count_ = 0;
        slots_ = {};
    }
    if (n < 0) return false;
    if (!mapping) {
        trace("init: CreateTable(" + display_name + ")\n");
        close_all();
        return false;
    }
    const auto bytes = mapping->bytes();
    if (bytes.empty()) {
        // An empty file cannot be mapped on Windows either.
        trace("init: CreateTableMapping Failed\n");
        close_all();
        return false;
    }
    // The count, the directory and the end offset that follows it must lie inside the file.
    const std::uint32_t count = bytes.size() < table_directory_offset ? 0 : table_record_offset(bytes);
    const std::uint64_t directory_end =
        table_directory_offset + std::uint64_t{count} * table_record_size + 4;
    if (count > INT32_MAX || directory_end > bytes.size()) {
        trace("init: invalid directory\n");
        close_all();
        return false;
    }
    // Slots come after the directory check, so that a hostile count allocates nothing.
    slots_storage_.reset(new (std::nothrow) table_slot[static_cast<std::size_t>(n)]());
    if (!slots_storage_ && n > 0) return false;
    slots_ = {slots_storage_.get(), static_cast<std::size_t>(n)};
    mapping_ = std::move(mapping);
    view_ = bytes;
    directory_ = bytes.data() + table_directory_offset;
    record_count_ = static_cast<std::int32_t>(count);
    return true;
}

void table_store::close_all() {
    if (lock_count_ != 0) return;
    mapping_.reset();
    slots_storage_.reset();
    slots_ = {};
    view_ = {};
    record_count_ = 0;
    directory_ = nullptr;
}

table_handle table_store::open(std::string_view name) {
    if (!directory_) {
        trace("open: not initialized\n");
        return nullptr;
    }
    if (name.empty()) {
        trace("open: invalid name\n");
        return nullptr;
    }
    std::int32_t low = 0;
    std::int32_t high = record_count_ - 1;
    const std::byte* found = nullptr;
    while (low <= high) {
        const std::int32_t mid = low + (high - low) / 2;
        const std::byte* record = directory_ + std::size_t(mid) * table_record_size;
        const int order = compare_entry_names(
            name, table_record_entry_name(std::span<const std::byte, table_record_size>(record, table_record_size)));
        if (order == 0) {
            found = record;
            break;
        }
        if (order < 0) {
            high = mid - 1;
        } else {
            low = mid + 1;
        }
    }
    if (!found) {
        trace("open: Table \"" + std::string(name) + "\" not found\n");
        return nullptr;
    }
    // The record after the last one is the end offset, which init made sure is in the file.
    const std::int64_t begin = table_record_offset({found, 4});
    const std::int64_t end = table_record_offset({found + table_record_size, 4});
    if (end < begin || end > static_cast<std::int64_t>(view_.size())) {
        trace("open: Table \"" + std::string(name) + "\" outside the file\n");
        return nullptr;
    }
    for (auto& slot : slots_) {
        if (!slot.in_use) {
            slot.in_use = true;
            slot.position = begin;
            slot.size = end - begin;
            slot.record = found;
            return &slot;
        }
    }
    trace("open: Out of file handles\n");
    return nullptr;
}

bool table_store::valid(table_handle h) const {
    if (!h || slots_.empty()) return false;
    // Only slots of the open table count: a handle of a released table is refused.
    const std::less<const table_slot*> before;
    if (before(h, slots_.data()) || !before(h, slots_.data() + slots_.size())) return false;
    return h->in_use;
}

std::int64_t table_store::entry_end(const table_slot& s) const {
    return table_record_offset({s.record + table_record_size, 4});
}

bool table_store::close(table_handle h) {
    if (!valid(h)) {
        trace("close: invalid handle\n");
        return false;
    }
    h->in_use = false;
    return true;
}

bool table_store::check_range(table_handle h, std::int64_t offset, std::int64_t size, const char* op) {
    if (!valid(h)) {
        trace(std::string(op) + ": invalid handle\n");
        return false;
    }
    if (size < 0) {
        trace(std::string(op) + ": invalid size\n");
        return false;
    }
    const std::int64_t begin = table_record_offset({h->record, 4});
    // Offsets come from the caller: keep the sums far from overflow before comparing.
    constexpr std::int64_t limit = std::int64_t{1} << 40;
    if (offset < -limit || offset > limit || size > limit || h->position + offset < begin ||
        h->position + offset + size > entry_end(*h)) {
        trace(std::string(op) + ": read past end of file\n");
        return false;
    }
    return true;
}

const std::byte* table_store::lock(table_handle h, std::int64_t offset, std::int64_t size) {
    if (!check_range(h, offset, size, "lock")) return nullptr;
    ++lock_count_;
    return view_.data() + h->position + offset;
}

bool table_store::unlock(table_handle h, std::int64_t offset, std::int64_t size) {
    if (!check_range(h, offset, size, "unlock")) return false;
    --lock_count_;
    return true;
}

bool table_store::read(table_handle h, void* buffer, std::int64_t length) {
    if (!valid(h)) {
        trace("read: invalid handle\n");
        return false;
    }
    if (length < 0) {
        trace("read: invalid size\n");
        return false;
    }
    if (length > entry_end(*h) - h->position) {
        trace("read: read past end of file\n");
        return false;
    }
    if (length > 0) std::memcpy(buffer, view_.data() + h->position, static_cast<std::size_t>(length));
    h->position += length;
    return true;
}

bool table_store::seek(table_handle h, std::int64_t offset, int origin) {
    if (!valid(h)) {
        trace("seek: invalid handle\n");
        return false;
    }
    const std::int64_t begin = table_record_offset({h->record, 4});
    const std::int64_t end = entry_end(*h);
    switch (origin) {
        case 0:
            if (offset < 0 || offset >= h->size) break;
            h->position = begin + offset;
            return true;
        case 1: {
            if (offset < begin - h->position || offset >= end - h->position) break;
            h->position += offset;
            return true;
        }
        case 2:
            if (offset < 0 || offset >= h->size) break;
            h->position = end - offset;
            return true;
        default:
            trace("seek: Invalid 'how' field\n");
            return false;
    }
    trace("seek: Invalid offset\n");
    return false;
}

std::int64_t table_store::tell(table_handle h) const {
    if (!valid(h)) {
        trace("tell: invalid handle\n");
        return -1;
    }
    return h->position - table_record_offset({h->record, 4});
}

std::span<const std::byte> table_store::record_of(table_handle h) const {
    if (!valid(h)) return {};
    return {h->record, table_record_size};
}

}  // namespace package
