#pragma once
// Read-only access to a table file through a mapping of the whole file. Entries are found
// by name with a binary search over the sorted directory and read through a fixed number of
// handles. The file is never copied into memory and never written.
//
// Bounds: a table whose directory (and the end offset after it) does not fit in the file is
// refused by init ("init: invalid directory"); an entry whose data range lies outside the
// file or ends before it starts cannot be opened ("open: Table "name" outside the file");
// lock, unlock and read stay inside the entry that a handle was opened on, a negative lock
// offset included; a handle that is not one of the open table's slots is invalid.
//
// Results follow the classic interface: true/false for 1/0, null handles and pointers, -1
// from tell. The diagnostic texts go to a trace sink that is unset (off) by default.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class system;
class mapped_file;
}  // namespace platform

namespace package {

/// One handle: which entry is open and where the next read starts.
struct table_slot {
    bool in_use = false;
    std::int64_t position = 0;  ///< absolute file offset of the next byte to read
    std::int64_t size = 0;      ///< the entry's size
    const std::byte* record = nullptr;  ///< the entry's directory record in the mapped view
};

/// A handle is a pointer to its slot; null means none.
using table_handle = table_slot*;

/// Receives the store's diagnostic texts, such as "open: invalid name\n".
using table_trace = std::function<void(std::string_view)>;

class table_store {
public:
    table_store() = default;
    ~table_store();
    table_store(const table_store&) = delete;
    table_store& operator=(const table_store&) = delete;

    /// Opens the table file name with n handle slots. True (1) on success, false (0) on failure.
    bool init(platform::system& sys, const std::string& name, std::int32_t n);
    /// The same over a mapping that the caller made; display_name is used in the trace only.
    bool init(std::unique_ptr<platform::mapped_file> mapping, std::int32_t n,
              const std::string& display_name = {});
    /// Releases the table, unless locks are outstanding: then nothing changes.
    void close_all();

    /// A free handle on the entry called name (case-insensitive), or null.
    table_handle open(std::string_view name);
    /// True (1), or false (0) for a null, foreign or not-open handle.
    bool close(table_handle h);
    /// Pointer to size bytes at position + offset inside the entry, or null. The pointer stays
    /// valid until the table is released, which cannot happen while the lock is outstanding.
    const std::byte* lock(table_handle h, std::int64_t offset, std::int64_t size);
    /// Undoes one lock; the same checks as lock. True (1), or false (0).
    bool unlock(table_handle h, std::int64_t offset, std::int64_t size);
    /// Copies length bytes from the position and advances it. True (1), or false (0), in which
    /// case the position is unchanged.
    bool read(table_handle h, void* buffer, std::int64_t length);
    /// origin 0 from the entry's start, 1 from the position, 2 back from the entry's end.
    /// True (1), or false (0) leaving the position unchanged.
    bool seek(table_handle h, std::int64_t offset, int origin);
    /// Position relative to the entry's start, or -1.
    std::int64_t tell(table_handle h) const;

    /// True while a table is open.
    bool is_open() const { return directory_ != nullptr; }
    /// N, the number of directory records (0 while no table is open).
    std::int32_t record_count() const { return record_count_; }
    std::int32_t slot_count() const { return static_cast<std::int32_t>(slots_.size()); }
    std::int32_t lock_count() const { return lock_count_; }
    /// The 48 bytes of the directory record a handle was opened on; empty for an invalid handle.
    std::span<const std::byte> record_of(table_handle h) const;
    /// The whole mapped file (empty while no table is open).
    std::span<const std::byte> view() const { return view_; }

    /// Sends the diagnostic texts to sink; an empty sink (the default) switches them off.
    void set_trace(table_trace sink) { trace_ = std::move(sink); }

private:
    bool valid(table_handle h) const;
    std::int64_t entry_end(const table_slot& s) const;
    bool check_range(table_handle h, std::int64_t offset, std::int64_t size, const char* op);
    void trace(std::string_view text) const;

    std::int32_t lock_count_ = 0;
    std::unique_ptr<platform::mapped_file> mapping_;
    const std::byte* directory_ = nullptr;
    std::span<const std::byte> view_;
    std::int32_t record_count_ = 0;
    std::unique_ptr<table_slot[]> slots_storage_;
    std::span<table_slot> slots_;
    // Mappings and slots of tables that were replaced while locks were outstanding: their
    // locked pointers must stay valid, so they live as long as the store.
    std::vector<std::unique_ptr<platform::mapped_file>> retired_mappings_;
    std::vector<std::unique_ptr<table_slot[]>> retired_slots_;
    table_trace trace_;
};

}  // namespace package
