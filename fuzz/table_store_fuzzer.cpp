// Opens arbitrary bytes as a table file and exercises every entry through every operation.
// The bytes are served in place, so that any read outside them is caught.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "package/memory_file.hpp"
#include "package/table_record.hpp"
#include "package/table_store.hpp"

namespace {

void exercise(package::table_store& store, package::table_handle h, std::uint8_t salt) {
    const std::int64_t size = h->size;
    std::vector<std::byte> buffer(static_cast<std::size_t>(size) + 1);
    if (const std::byte* p = store.lock(h, 0, size)) {
        volatile std::byte sink{};
        for (std::int64_t i = 0; i < size; ++i) sink = sink ^ p[i];
        if (!store.unlock(h, 0, size)) __builtin_trap();
    }
    if (!store.read(h, buffer.data(), size)) __builtin_trap();
    if (store.read(h, buffer.data(), 1)) __builtin_trap();
    const std::int64_t offsets[] = {-1, 0, 1, size - 1, size, size + 1, salt, -static_cast<std::int64_t>(salt)};
    for (int origin = 0; origin < 4; ++origin) {
        for (std::int64_t offset : offsets) {
            const std::int64_t before = store.tell(h);
            if (store.seek(h, offset, origin)) {
                const std::int64_t at = store.tell(h);
                if (at < 0 || at > size) __builtin_trap();
                store.read(h, buffer.data(), size - at);
                if (store.lock(h, -1, 1)) store.unlock(h, -1, 1);
                if (store.lock(h, 0, size - at)) store.unlock(h, 0, size - at);
            } else if (store.tell(h) != before) {
                __builtin_trap();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::int32_t slots = data[0] % 5;
    const std::uint8_t salt = size > 1 ? data[1] : 0;
    std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data) + 1, size - 1);

    package::table_store store;
    if (!store.init(std::make_unique<package::memory_file>(bytes), slots)) return 0;

    // Every name in the directory, plus one made from the input.
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < store.record_count(); ++i) {
        auto record = bytes.subspan(package::table_directory_offset + std::size_t(i) * package::table_record_size)
                          .first<package::table_record_size>();
        names.emplace_back(package::table_record_entry_name(record));
    }
    names.emplace_back(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 9));

    for (const auto& name : names) {
        package::table_handle h = store.open(name);
        if (!h) continue;
        exercise(store, h, salt);
        // A second handle while the first is open, then both closed.
        package::table_handle second = store.open(name);
        if (second) store.close(second);
        if (!store.close(h)) __builtin_trap();
        if (store.close(h)) __builtin_trap();
    }
    if (store.lock_count() != 0) __builtin_trap();
    store.close_all();
    if (store.is_open()) __builtin_trap();
    return 0;
}
