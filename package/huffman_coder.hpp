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
///
/// The nodes are stored by their place in the sibling order: the root at place 1, the node
/// of the next lower order at place 2, and so on down to the nyt leaf at the last place.
/// The node one order above a node is then simply the one at the place before it. A swap
/// exchanges two places' contents (weight, children, symbol) and leaves the places' own
/// link to their parent as it is. Place 0 is a sentinel above the root whose weight matches
/// no node. This gives the same tree, the same codes and the same bits as a tree of node
/// records with a table of node numbers by order.
///
/// Two tables follow the tree down to depth `table_bits`, with tree positions numbered as
/// in a heap (root 1, the children of h at 2h and 2h + 1): for each place down to that
/// depth, the places above it by level (its path), and for each string of `table_bits` bits
/// the leaf it starts with, or the node it reaches. One look-up then decodes most symbols,
/// and the nodes above a leaf are read from its path without following parent links. A
/// move rewrites only the entries below the moved places. Early in a stream the weights
/// are small and nodes near the root move often, which would rewrite large parts of the
/// tables; so the tables are built only after a warm-up of some symbols, and until then
/// the coder walks the tree.
///
/// Counting the nodes above a leaf takes one step per level. The decoder visits a fixed
/// number of levels from the root down (with spare slots standing in for the levels at and
/// below the leaf), so that the processor need not guess where a varying loop ends; the
/// number is chosen every few thousand symbols from the code lengths just seen.
class huffman_coder {
public:
    /// Symbol value of the end symbol; byte values are 0 to 255.
    static constexpr int end_symbol = -1;
    /// decode_symbol's result when the input ends inside a code.
    static constexpr int incomplete = -3;
    /// 256 byte values, the end symbol and the nyt leaf need at most 2 * 258 - 1 nodes.
    static constexpr int max_nodes = 515;

    /// Symbols coded before the tables are built; the result is the same for any value.
    static constexpr std::uint32_t default_warm_up = 4096;

    explicit huffman_coder(std::uint32_t warm_up = default_warm_up) : warm_up_(warm_up) { reset(); }

    /// Back to the starting tree: the end symbol and the nyt leaf below the root.
    void reset();
    /// Reads one symbol's code: a byte value, `end_symbol`, or `incomplete` when the input
    /// ends inside the code. Does not update the tree.
    int decode_symbol(bit_reader& in);
    /// Writes the code of a byte value or of `end_symbol`. Does not update the tree.
    void encode_symbol(int symbol, bit_writer& out);
    /// Counts one more occurrence of a byte value (or, once, of `end_symbol` in `reset`)
    /// and re-balances the tree.
    void update(int symbol);

    /// Decodes into out until it is full, the end symbol or the end of input; returns the
    /// number of bytes written. `finished` tells whether decoding has stopped for good.
    std::size_t decode_some(bit_reader& in, std::span<std::byte> out);
    bool finished() const { return finished_; }
    /// True when the stream ended with the end symbol (not by running out of input).
    bool reached_end_symbol() const { return reached_end_; }

private:
    using place = std::int16_t;
    static constexpr int root = 1;
    static constexpr int places = max_nodes + 1;
    static constexpr int table_bits = 10;
    static constexpr unsigned table_rows = 1u << table_bits;

    int find(int symbol) const;
    int add_symbol(int symbol);
    int lead(int a);
    int slide_increment(int cur);
    void swap(int a, int b);
    /// `update` for a symbol whose leaf (or the nyt leaf) is known.
    void update_leaf(int symbol, int leaf);
    /// The rest of `update` after lead has moved the leaf to place a.
    void finish_update(int a);
    /// True when slide_increment would move the node at place p.
    bool moves(int p) const;
    /// Runs slide_increment from cur up to the root (not counting the root), with the
    /// common case inline.
    void count_up(int cur);
    /// count_up above the node at place p, at a tree position (down to the table's depth),
    /// that has been counted; the root is left to the caller.
    void climb(int p, unsigned position);
    /// count_up above a leaf at a depth down to the table's, root included, that has been
    /// counted: the top Levels levels always, the ones below only for a deeper leaf.
    template <unsigned Levels>
    void climb_from_leaf(unsigned leaf, unsigned depth);
    /// The whole update of a leaf down to the table's depth when it takes no move of an
    /// internal node at the leaf (the common case); false, with nothing changed, otherwise.
    template <unsigned Levels>
    bool count_in_place(unsigned leaf, unsigned depth);
    /// count_in_place when the leaf has to lead.
    bool lead_in_place(unsigned leaf);
    /// The spare slot in key_ for a level (a depth of the tree) with no node on a leaf's
    /// path; the slot before it holds a weight no node reaches.
    static constexpr unsigned spare(unsigned level) { return places + 1 + 2 * level; }
    /// decode_some once the tables are built, with climb_from_leaf<Levels>.
    template <unsigned Levels>
    std::byte* decode_run(bit_reader& in, std::byte* next, std::byte* end);
    /// Decodes one symbol by walking the tree and counts it.
    std::byte* walk(bit_reader& in, std::byte* next);
    /// Sets levels_ from the code lengths counted in depth_count_ and ages the counts.
    void choose_levels();
    /// Symbols decoded between two choices of levels_.
    static constexpr std::ptrdiff_t block_size = 4096;
    /// Brings the tables up to date below a place whose content changed.
    void refresh_below(int p);
    /// Builds the tables from the whole tree and keeps them from then on.
    void start_table();
    void fill_table(int p, unsigned position, int depth);
    void clear_positions(int p);
    bool is_leaf(int p) const { return (key_[p] & 1) != 0; }
    int parent(int p) const { return up_[p] >> 1; }

    /// 2 * weight, plus 1 for a leaf: one comparison checks weight and kind together.
    /// Followed by a pair of slots for each level of the table: a weight no node reaches,
    /// and the level's spare slot.
    std::array<std::uint64_t, places + 1 + 2 * table_bits> key_{};
    /// Children of the node at place p: [2p] on a 0 bit, [2p + 1] on a 1 bit.
    std::array<place, 2 * places> kid_{};
    /// Index into kid_ of the slot holding place p (2 * parent + bit), -1 for the root.
    std::array<place, places> up_{};
    std::array<place, places> sym_{};
    /// Place of the leaf of symbol s at [s + 1], 0 for none.
    std::array<place, 257> leaf_of_{};
    /// For each string of table_bits bits, the leaf it starts with or the node it reaches.
    struct decode_entry {
        std::uint16_t node;
        std::uint8_t depth;
        /// 1 when the place holds the leaf of a byte value.
        std::uint8_t plain;
    };
    /// For each place down to depth table_bits, by level (0 the root), the places above
    /// it, and the spare slot of each level from its own down; see the class comment.
    std::array<std::uint16_t, places * table_bits> path_{};
    std::array<decode_entry, table_rows> decode_table_{};
    /// Tree position of each place down to depth table_bits, 0 for deeper places.
    std::array<std::uint16_t, places> position_{};
    int nyt_ = root;
    /// Tree position of the nyt leaf's sibling, 1 (no leaf's) when the nyt leaf is deeper
    /// than the table.
    unsigned nyt_sibling_ = 1;
    int leaf_to_inc_ = 0;
    /// Whether the tables are kept, and the symbols counted before they are.
    bool table_on_ = false;
    std::uint32_t symbols_ = 0;
    std::uint32_t warm_up_;
    bool finished_ = false;
    bool reached_end_ = false;
    /// Decoded symbols by code length, for choose_levels.
    std::array<std::uint32_t, table_bits + 1> depth_count_{};
    unsigned levels_ = table_bits;
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
