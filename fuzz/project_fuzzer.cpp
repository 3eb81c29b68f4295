// Fuzzes the project and package directory readers. Whatever reads must write, and what
// is written must read and write again to the same bytes (after the second pass: reading
// turns each map bucket round, so one pass leaves the buckets reversed).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "model/format_error.hpp"
#include "model/package_directory.hpp"
#include "model/project_data.hpp"

namespace {

template <class Parse, class Serialize>
void check(std::span<const std::byte> input, Parse parse, Serialize serialize) {
    std::string written;
    try {
        written = serialize(parse(input));
    } catch (const model::format_error&) {
        return;
    }
    const std::string again = serialize(parse(model::as_bytes(written)));
    if (again.size() != written.size()) std::abort();
    const std::string twice = serialize(parse(model::as_bytes(again)));
    if (twice != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> input(reinterpret_cast<const std::byte*>(data), size);
    check(input, model::parse_project, model::serialize_project);
    check(input, model::parse_package_directory, model::serialize_package_directory);
    return 0;
}
