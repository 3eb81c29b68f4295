// Decodes arbitrary bytes as a packed stream and checks the result against the plain
// reference coder; encodes the bytes and checks that they decode back. The coder's tables
// are switched on after a warm-up taken from the input, so that both ways of coding are
// exercised on short inputs.

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
std::string decode_in_chunks(std::span<const std::byte> packed, std::uint32_t warm_up, std::size_t chunk) {
    package::huffman_coder coder(warm_up);
    package::bit_reader in(packed);
    std::vector<std::byte> buffer(chunk);
    std::string out;
    while (!coder.finished()) {
        std::size_t n = coder.decode_some(in, buffer);
        out.append(reinterpret_cast<const char*>(buffer.data()), n);
    }
    return out;
}

std::string encode(std::span<const std::byte> data, std::uint32_t warm_up) {
    package::huffman_coder coder(warm_up);
    package::bit_writer out;
    for (std::byte b : data) {
        coder.encode_symbol(static_cast<int>(b), out);
        coder.update(static_cast<int>(b));
    }
    coder.encode_symbol(package::huffman_coder::end_symbol, out);
    out.pad();
    return out.take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto bytes = std::as_bytes(std::span(data, size));
    std::uint32_t warm_up = size == 0 ? 0 : data[0] % 3 == 0 ? 0 : data[0] % 3 == 1 ? data[0] / 3 : 4096;
    std::size_t chunk = size < 2 ? 1 : 1 + data[1] % 13;
    // The reference is slow; it checks the shorter inputs.
    bool compare = size <= 512;

    // Any input decodes, ends, and yields at most one byte per input bit.
    std::string decoded = package::huffman_decode(bytes);
    check(decoded.size() <= size * 8);
    if (compare) check(decoded == huffman_reference::decode(bytes));
    check(decode_in_chunks(bytes, warm_up, chunk) == decoded);

    // Encoding matches the reference bit for bit and decodes back.
    std::string packed = package::huffman_encode(bytes);
    if (compare) check(packed == huffman_reference::encode(bytes));
    check(encode(bytes, warm_up) == packed);
    auto packed_bytes = std::as_bytes(std::span(packed));
    std::string plain(reinterpret_cast<const char*>(data), size);
    check(decode_in_chunks(packed_bytes, warm_up, chunk) == plain);
    return 0;
}
