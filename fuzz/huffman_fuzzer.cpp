// Decodes arbitrary bytes as a packed stream and checks the result against the plain
// reference coder; encodes the bytes and checks that they decode back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "package/huffman_coder.hpp"
#include "tests/package/huffman_reference.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

/// Decodes through decode_some with a small output buffer, as decode_file does in chunks.
std::string decode_in_chunks(std::span<const std::byte> packed, std::size_t chunk) {
    package::huffman_coder coder;
    package::bit_reader in(packed);
    std::vector<std::byte> buffer(chunk);
    std::string out;
    while (!coder.finished()) {
        std::size_t n = coder.decode_some(in, buffer);
        out.append(reinterpret_cast<const char*>(buffer.data()), n);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto bytes = std::as_bytes(std::span(data, size));

    // Any input decodes, ends, and yields at most one byte per input bit.
    // The reference is slow; it checks the shorter inputs.
    bool compare = size <= 512;
    std::string decoded = package::huffman_decode(bytes);
    check(decoded.size() <= size * 8);
    if (compare) check(decoded == huffman_reference::decode(bytes));
    std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 13;
    check(decode_in_chunks(bytes, chunk) == decoded);

    // Encoding matches the reference bit for bit and decodes back.
    std::string packed = package::huffman_encode(bytes);
    if (compare) check(packed == huffman_reference::encode(bytes));
    std::string plain(reinterpret_cast<const char*>(data), size);
    check(package::huffman_decode(std::as_bytes(std::span(packed))) == plain);
    return 0;
}
