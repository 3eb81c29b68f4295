#pragma once
// The adaptive Huffman code of packed entries.
//
// A packed entry is a bit stream, most significant bit of each byte first, of symbol codes:
// the path from the root to the symbol's leaf (1 for a step to `one`, 0 for a step to
// `zero`). A byte value not yet in the tree is sent as the path to the nyt (not yet
// transmitted) leaf followed by its 8 bits, most significant first. The stream ends with
// the path of the end symbol and 0 bits up to the next byte boundary. The tree starts with
// the end symbol and the nyt leaf and is re-balanced after every symbol, so no code table
// is stored.
//
// End of input: a symbol is emitted only when every bit of its code (and, after the nyt
// path, all 8 bits of the byte value) lies within the input. Decoding stops at the end
// symbol or at the first symbol whose bits run past the end of the input; that symbol is
// dropped. Every code is at least one bit long, so the output never exceeds 8 bytes per
// input byte. Bytes after the end symbol are ignored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "package/bit_reader.hpp"
#include "package/bit_writer.hpp"

namespace platform {
class system;
}

namespace package {

/// The coding tree with its update rule; one instance serves any number of streams,
/// `reset` before each.
class huffman_coder {
public:
    /// Symbol value of the end symbol; byte values are 0 to 255.
    static constexpr int end_symbol = -1;
    /// decode_symbol's result when the input ends inside a code.
    static constexpr int incomplete = -3;
    /// 256 byte values, the end symbol and the nyt leaf need at most 2 * 258 - 1 nodes.
    static constexpr int max_nodes = 515;

    huffman_coder() { reset(); }

    /// Back to the starting tree: the end symbol and the nyt leaf below the root.
    void reset();
    /// Reads one symbol's code: a byte value, `end_symbol`, or `incomplete` when the input
    /// ends inside the code. Does not update the tree.
    int decode_symbol(bit_reader& in);
    /// Writes the code of a byte value or of `end_symbol`. Does not update the tree.
    void encode_symbol(int symbol, bit_writer& out);
    /// Counts one more occurrence of a symbol and re-balances the tree.
    void update(int symbol);

    /// Decodes into out until it is full, the end symbol or the end of input; returns the
    /// number of bytes written. `finished` tells whether decoding has stopped for good.
    std::size_t decode_some(bit_reader& in, std::span<std::byte> out);
    bool finished() const { return finished_; }
    /// True when the stream ended with the end symbol (not by running out of input).
    bool reached_end_symbol() const { return reached_end_; }

private:
    using node_id = std::int16_t;

    int find(int symbol) const;
    void add_symbol(int symbol);
    void lead(int a);
    void slide_increment();
    void swap(int a, int b);

    // Struct of arrays; one slot past the last node so that looking one order above the
    // root reads a sentinel instead of leaving the arrays.
    std::array<std::uint64_t, max_nodes + 1> weight_{};
    std::array<node_id, 2 * (max_nodes + 1)> child_{};  ///< [2n] = zero, [2n + 1] = one
    std::array<node_id, max_nodes + 1> parent_{};
    std::array<node_id, max_nodes + 1> order_{};
    std::array<node_id, max_nodes + 1> sym_{};
    std::array<node_id, max_nodes + 2> rank_{};
    std::array<node_id, 257> leaf_of_{};  ///< node of symbol s at [s + 1], or 0 for none
    int nyt_ = 0;
    int cur_ = 0;
    int leaf_to_inc_ = 0;
    bool finished_ = false;
    bool reached_end_ = false;
};

/// Decodes a packed stream; stops at the end symbol or at the end of input.
std::string huffman_decode(std::span<const std::byte> packed);
/// Encodes data as a packed stream.
std::string huffman_encode(std::span<const std::byte> data);
/// Decodes packed file P into output file Q through the platform interface, streaming the
/// output in chunks (constant memory besides the mapping of P). Returns false when P cannot
/// be read or Q cannot be written completely. A stream that runs out before its end symbol
/// is not an error: its output ends with the last complete symbol.
bool decode_file(platform::system& sys, const std::string& packed_path, const std::string& output_path);

}  // namespace package
