#include "package/huffman_coder.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <memory>
#include <vector>

#include "platform/system.hpp"

namespace package {

namespace {

constexpr int none = -2;
constexpr int sentinel = 0;

}  // namespace

void huffman_coder::reset() {
    key_.fill(0);
    kid_.fill(-1);
    up_.fill(-1);
    sym_.fill(none);
    leaf_of_.fill(0);
    key_[sentinel] = std::numeric_limits<std::uint64_t>::max();
    // The root starts as the nyt leaf of weight 0.
    key_[root] = 1;
    nyt_ = root;
    leaf_to_inc_ = 0;
    finished_ = false;
    reached_end_ = false;
    position_.fill(0);
    fill_table(root, 1);
    update(end_symbol);
}

int huffman_coder::find(int symbol) const {
    // Symbols are unique among the leaves, so the lowest node holding it is its only leaf.
    int leaf = leaf_of_[symbol + 1];
    return leaf != 0 ? leaf : nyt_;
}

void huffman_coder::swap(int a, int b) {
    // The places keep their parent links and tree positions; the contents change places,
    // so the children of the moved contents and the symbols' leaves are pointed at the new
    // places, and the table is rewritten below both places.
    std::swap(key_[a], key_[b]);
    std::swap(sym_[a], sym_[b]);
    if (is_leaf(a) && is_leaf(b)) {
        leaf_of_[sym_[a] + 1] = static_cast<place>(a);
        leaf_of_[sym_[b] + 1] = static_cast<place>(b);
        // Only the end symbol's leaf is marked differently in the decoding table.
        if (sym_[a] == end_symbol || sym_[b] == end_symbol) {
            refresh_below(a);
            refresh_below(b);
        }
        return;
    }
    std::swap(kid_[2 * a], kid_[2 * b]);
    std::swap(kid_[2 * a + 1], kid_[2 * b + 1]);
    for (int p : {a, b}) {
        if (is_leaf(p)) {
            leaf_of_[sym_[p] + 1] = static_cast<place>(p);
        } else {
            up_[kid_[2 * p]] = static_cast<place>(2 * p);
            up_[kid_[2 * p + 1]] = static_cast<place>(2 * p + 1);
        }
    }
    refresh_below(a);
    refresh_below(b);
}

int huffman_coder::add_symbol(int symbol) {
    // The nyt leaf at place b becomes an internal node; every order goes up by two, which
    // leaves the places as they are, and the two new nodes take the two lowest places.
    int b = nyt_;
    int leaf = b + 1;
    int new_nyt = b + 2;
    kid_[2 * b] = static_cast<place>(new_nyt);
    kid_[2 * b + 1] = static_cast<place>(leaf);
    key_[b] &= ~std::uint64_t{1};
    up_[new_nyt] = static_cast<place>(2 * b);
    up_[leaf] = static_cast<place>(2 * b + 1);
    key_[new_nyt] = 1;
    key_[leaf] = 1;
    sym_[leaf] = static_cast<place>(symbol);
    leaf_of_[symbol + 1] = static_cast<place>(leaf);
    leaf_to_inc_ = leaf;
    nyt_ = new_nyt;
    nyt_position_ = 0;
    refresh_below(b);
    return b;
}

int huffman_coder::lead(int a) {
    // c climbs to the highest place of the run of nodes like a (same weight, same kind).
    if (key_[a - 1] == key_[a]) {
        int c = a - 1;
        while (key_[c - 1] == key_[c]) --c;
        swap(a, c);
        a = c;
    }
    if (parent(a) == parent(nyt_)) {
        leaf_to_inc_ = a;
        return parent(a);
    }
    return a;
}

int huffman_coder::slide_increment(int cur) {
    std::uint64_t k = key_[cur];
    if (k & 1) {
        // A leaf moves above the internal nodes of its weight, never above the root.
        while (key_[cur - 1] == k - 1 && cur - 1 != root) {
            swap(cur, cur - 1);
            --cur;
        }
        key_[cur] = k + 2;
        return parent(cur);
    }
    // An internal node moves above the internal nodes of its weight, then above the leaves
    // of its weight plus one; the node to count next is its parent before the second move.
    while (key_[cur - 1] == k && cur - 1 != root) {
        swap(cur, cur - 1);
        --cur;
    }
    int p = parent(cur);
    while (key_[cur - 1] == k + 3) {
        swap(cur, cur - 1);
        --cur;
    }
    key_[cur] = k + 2;
    return p;
}

void huffman_coder::count_up(int cur) {
    // Mostly nothing moves and each node just counts one more. The table gives the nodes
    // above from the tree position alone, without a chain of loads through the parent
    // links, and the position tells when the root is reached; below the table's depth the
    // parent links are followed.
    unsigned position = position_[cur];
    while (cur != root) {
        std::uint64_t k = key_[cur];
        std::uint64_t above = key_[cur - 1];
        bool moves = (k & 1) ? above == k - 1 && cur - 1 != root : above == k || above == k + 3;
        if (moves) {
            cur = slide_increment(cur);
            position = position_[cur];
        } else if (position != 0) {
            key_[cur] = k + 2;
            position >>= 1;
            cur = tree_[position];
        } else {
            key_[cur] = k + 2;
            cur = parent(cur);
            position = position_[cur];
        }
    }
}

inline bool huffman_coder::count_in_place(unsigned leaf, unsigned position) {
    // The leaf moves if the node above it has its weight (lead, or slide past an internal
    // node), and its count is deferred when it is the nyt leaf's sibling.
    std::uint64_t* key = key_.data();
    std::uint64_t k = key[leaf];
    if (key[leaf - 1] - k + 1 <= 1 || (position ^ 1) == nyt_position_) return false;
    key[leaf] = k + 2;
    for (unsigned at = position >> 1; at > 1; at >>= 1) {
        std::size_t p = tree_[at];
        std::uint64_t kp = key[p];
        // An internal node moves above a node of its weight that is internal (difference
        // 0) or above a leaf of its weight plus one (difference 3).
        std::uint64_t difference = key[p - 1] - kp;
        if (difference <= 3 && (difference == 0 || difference == 3)) {
            count_up(static_cast<int>(p));
            break;
        }
        key[p] = kp + 2;
    }
    key[root] += 2;
    return true;
}

void huffman_coder::update_leaf(int symbol, int leaf, unsigned position) {
    leaf_to_inc_ = 0;
    int cur;
    if (leaf == nyt_) {
        cur = add_symbol(symbol);
    } else {
        cur = lead(leaf);
        if (cur != leaf) position = position_[cur];
        if (leaf_to_inc_ == 0 && position != 0 && count_in_place(static_cast<unsigned>(cur), position)) return;
    }
    count_up(cur);
    key_[root] += 2;
    if (leaf_to_inc_ != 0) slide_increment(leaf_to_inc_);
}

void huffman_coder::update(int symbol) {
    int leaf = find(symbol);
    unsigned position = position_[leaf];
    if (position != 0 && leaf != nyt_ && count_in_place(static_cast<unsigned>(leaf), position)) return;
    update_leaf(symbol, leaf, position);
}

void huffman_coder::refresh_below(int p) {
    unsigned position = position_[p];
    if (position != 0) {
        fill_table(p, position);
    } else if (!is_leaf(p)) {
        // Deeper than the table: the subtree now here may have come from above it.
        for (int kid : {kid_[2 * p], kid_[2 * p + 1]})
            if (position_[kid] != 0) clear_positions(kid);
    }
}

void huffman_coder::fill_table(int p, unsigned position) {
    auto depth = static_cast<int>(std::bit_width(position)) - 1;
    position_[p] = static_cast<std::uint16_t>(position);
    if (depth < table_bits) tree_[position] = static_cast<std::uint16_t>(p);
    if (p == nyt_) nyt_position_ = position;
    std::uint32_t entry = static_cast<std::uint32_t>(p) | static_cast<std::uint32_t>(depth) << 10 | position << 16;
    if (is_leaf(p)) {
        if (p != nyt_ && sym_[p] != end_symbol) entry |= plain_leaf;
        int spread = table_bits - depth;
        std::fill_n(decode_table_.begin() + ((position << spread) - (1u << table_bits)), 1u << spread, entry);
    } else if (depth == table_bits) {
        decode_table_[position - (1u << table_bits)] = entry;
        for (int kid : {kid_[2 * p], kid_[2 * p + 1]})
            if (position_[kid] != 0) clear_positions(kid);
    } else {
        fill_table(kid_[2 * p], 2 * position);
        fill_table(kid_[2 * p + 1], 2 * position + 1);
    }
}

void huffman_coder::clear_positions(int p) {
    // Below a place without a position, every place had none already.
    position_[p] = 0;
    if (p == nyt_) nyt_position_ = 0;
    if (is_leaf(p)) return;
    for (int kid : {kid_[2 * p], kid_[2 * p + 1]})
        if (position_[kid] != 0) clear_positions(kid);
}

int huffman_coder::decode_symbol(bit_reader& in) {
    in.refill();
    std::uint64_t bits = in.bits();
    unsigned count = in.count();
    unsigned used = 0;
    int n = root;
    while (!is_leaf(n)) {
        if (used == count) {
            in.consume(used);
            in.refill();
            bits = in.bits();
            count = in.count();
            used = 0;
            if (count == 0) return incomplete;
        }
        n = kid_[2 * n + static_cast<int>(bits >> 63)];
        bits <<= 1;
        ++used;
    }
    if (n != nyt_) {
        in.consume(used);
        return sym_[n];
    }
    if (count - used < 8) {
        in.consume(used);
        in.refill();
        if (in.count() < 8) return incomplete;
        bits = in.bits();
        used = 0;
    }
    in.consume(used + 8);
    return static_cast<int>(bits >> 56);
}

void huffman_coder::encode_symbol(int symbol, bit_writer& out) {
    int leaf = find(symbol);
    unsigned position = position_[leaf];
    if (position != 0) {
        // The position is a 1 bit followed by the code.
        auto depth = static_cast<unsigned>(std::bit_width(position)) - 1;
        out.put(position ^ (1u << depth), depth);
    } else {
        // Collected from the leaf upwards in 64-bit pieces; the piece nearest the root is
        // the one still open when the walk ends.
        std::uint64_t pieces[(max_nodes + 63) / 64];
        int piece_count = 0;
        std::uint64_t code = 0;
        unsigned length = 0;
        for (int n = leaf; n != root; n = parent(n)) {
            code |= static_cast<std::uint64_t>(up_[n] & 1) << length;
            if (++length == 64) {
                pieces[piece_count++] = code;
                code = 0;
                length = 0;
            }
        }
        out.put(code, length);
        while (piece_count > 0) out.put(pieces[--piece_count], 64);
    }
    if (leaf == nyt_) out.put(static_cast<std::uint64_t>(symbol & 0xFF), 8);
}

std::size_t huffman_coder::decode_some(bit_reader& in, std::span<std::byte> out) {
    if (finished_) return 0;
    // A local copy of the reader, so that its state can stay in registers.
    bit_reader r = in;
    std::byte* next = out.data();
    std::byte* const end = next + out.size();
    while (next != end) {
        if (r.count() < 32) r.refill();
        auto prefix = static_cast<unsigned>(r.bits() >> (64 - table_bits));
        std::uint32_t entry = decode_table_[prefix];
        unsigned depth = (entry >> 10) & 15;
        // Codes longer than the table, the nyt leaf with its 8 bits, the end symbol and
        // codes cut by the end of the input take the walk through the tree.
        if ((entry & plain_leaf) != 0 && depth <= r.count()) {
            unsigned leaf = entry & 1023;
            r.consume(depth);
            int s = sym_[leaf];
            *next++ = static_cast<std::byte>(s);
            if (!count_in_place(leaf, entry >> 16)) update_leaf(s, static_cast<int>(leaf), entry >> 16);
            continue;
        }
        in = r;
        int s = decode_symbol(in);
        r = in;
        if (s < 0) {
            finished_ = true;
            reached_end_ = s == end_symbol;
            break;
        }
        *next++ = static_cast<std::byte>(s);
        update(s);
    }
    in = r;
    return static_cast<std::size_t>(next - out.data());
}

std::string huffman_decode(std::span<const std::byte> packed) {
    huffman_coder coder;
    bit_reader in(packed);
    std::string out;
    std::size_t chunk = 1 << 16;
    while (!coder.finished()) {
        std::size_t size = out.size();
        out.resize(size + chunk);
        auto room = std::as_writable_bytes(std::span(out)).subspan(size);
        out.resize(size + coder.decode_some(in, room));
        chunk = std::min<std::size_t>(chunk * 2, 1 << 24);
    }
    return out;
}

std::string huffman_encode(std::span<const std::byte> data) {
    huffman_coder coder;
    bit_writer out;
    for (std::byte b : data) {
        int s = static_cast<int>(b);
        coder.encode_symbol(s, out);
        coder.update(s);
    }
    coder.encode_symbol(huffman_coder::end_symbol, out);
    out.pad();
    return out.take();
}

bool decode_file(platform::system& sys, const std::string& packed_path, const std::string& output_path) {
    auto packed = sys.map_file(packed_path);
    if (!packed) return false;
    auto output = sys.create_file(output_path);
    if (!output) return false;
    auto coder = std::make_unique<huffman_coder>();
    bit_reader in(packed->bytes());
    std::vector<std::byte> buffer(1 << 16);
    while (!coder->finished()) {
        std::size_t n = coder->decode_some(in, buffer);
        if (n > 0 && !output->write(std::span(buffer).first(n))) return false;
    }
    return output->close();
}

}  // namespace package
