// The removal record is read by the uninstaller from the application's folder, where anyone
// may have changed it: parsing must either succeed or throw format_error.

#include <cstddef>
#include <cstdint>
#include <span>

#include "install/removal_record.hpp"
#include "model/format_error.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    try {
        const install::removal_record record = install::removal_record::parse(bytes);
        // What parses must write back to the same bytes.
        const std::string again = record.serialize();
        if (install::removal_record::parse({reinterpret_cast<const std::byte*>(again.data()), again.size()})
                .entries != record.entries) {
            __builtin_trap();
        }
    } catch (const model::format_error&) {
    }
    return 0;
}
