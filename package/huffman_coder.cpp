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
    moved_count_ = max_moved + 1;
    update(end_symbol);
}

int huffman_coder::find(int symbol) const {
    // Symbols are unique among the leaves, so the lowest node holding it is its only leaf.
    int leaf = leaf_of_[symbol + 1];
    return leaf != 0 ? leaf : nyt_;
}

void huffman_coder::swap(int a, int b) {
    // The places keep their parent links; the contents change places, so the children
    // of the moved contents and the symbols' leaves are pointed at the new places.
    if (is_leaf(a) && is_leaf(b)) {
        // Two leaves trading places leave every position's place as it was; only the end
        // symbol's leaf is marked in the decoding table.
        std::swap(key_[a], key_[b]);
        std::swap(sym_[a], sym_[b]);
        leaf_of_[sym_[a] + 1] = static_cast<place>(a);
        leaf_of_[sym_[b] + 1] = static_cast<place>(b);
        if (sym_[a] == end_symbol || sym_[b] == end_symbol) {
            moved(a);
            moved(b);
        }
        return;
    }
    std::swap(key_[a], key_[b]);
    std::swap(sym_[a], sym_[b]);
    std::swap(kid_[2 * a], kid_[2 * b]);
    std::swap(kid_[2 * a + 1], kid_[2 * b + 1]);
    moved(a);
    moved(b);
    for (int p : {a, b}) {
        if (is_leaf(p)) {
            leaf_of_[sym_[p] + 1] = static_cast<place>(p);
        } else {
            up_[kid_[2 * p]] = static_cast<place>(2 * p);
            up_[kid_[2 * p + 1]] = static_cast<place>(2 * p + 1);
        }
    }
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
    moved(b);
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

void huffman_coder::count_up(int cur, unsigned position) {
    // Mostly nothing moves and each node just counts one more. Until something moves, the
    // table gives the nodes above from the tree position alone, without a chain of loads
    // through the parent links, and the position tells when the root is reached.
    if (position != 0) {
        for (;;) {
            std::uint64_t k = key_[cur];
            std::uint64_t above = key_[cur - 1];
            bool moves = (k & 1) ? above == k - 1 && cur - 1 != root : above == k || above == k + 3;
            if (moves) {
                cur = slide_increment(cur);
                break;
            }
            key_[cur] = k + 2;
            position >>= 1;
            if (position == 1) return;
            cur = tree_[position];
        }
    }
    while (cur != root) {
        std::uint64_t k = key_[cur];
        std::uint64_t above = key_[cur - 1];
        bool moves = (k & 1) ? above == k - 1 && cur - 1 != root : above == k || above == k + 3;
        if (moves) {
            cur = slide_increment(cur);
        } else {
            key_[cur] = k + 2;
            cur = parent(cur);
        }
    }
}

inline bool huffman_coder::count_in_place(int leaf, unsigned position) {
    // The leaf moves if the node above it has its weight (lead, or slide past an internal
    // node), and its count is deferred when it is the nyt leaf's sibling.
    std::uint64_t k = key_[leaf];
    if (key_[leaf - 1] - k + 1 <= 1 || (position ^ 1) == position_[nyt_]) return false;
    key_[leaf] = k + 2;
    for (position >>= 1; position > 1; position >>= 1) {
        int p = tree_[position];
        std::uint64_t kp = key_[p];
        // An internal node moves above a node of its weight that is internal (difference
        // 0) or above a leaf of its weight plus one (difference 3).
        std::uint64_t difference = key_[p - 1] - kp;
        if (difference <= 3 && (difference == 0 || difference == 3)) {
            count_up(p, moved_count_ == 0 ? position : 0);
            break;
        }
        key_[p] = kp + 2;
    }
    key_[root] += 2;
    if (moved_count_ != 0) refresh_table();
    return true;
}

void huffman_coder::update_leaf(int symbol, int leaf, unsigned position) {
    leaf_to_inc_ = 0;
    int cur;
    if (leaf == nyt_) {
        cur = add_symbol(symbol);
    } else {
        cur = lead(leaf);
        // lead moves only leaves, which leaves the places at every position as they were.
        if (cur != leaf) position = position_[cur];
        if (leaf_to_inc_ == 0 && position != 0 && count_in_place(cur, position)) return;
    }
    count_up(cur, moved_count_ == 0 ? position : 0);
    key_[root] += 2;
    if (leaf_to_inc_ != 0) slide_increment(leaf_to_inc_);
    if (moved_count_ != 0) refresh_table();
}

void huffman_coder::update(int symbol) {
    int leaf = find(symbol);
    unsigned position = position_[leaf];
    if (position != 0 && leaf != nyt_ && count_in_place(leaf, position)) return;
    update_leaf(symbol, leaf, position);
}

void huffman_coder::moved(int p) {
    if (moved_count_ < max_moved) moved_[moved_count_] = static_cast<place>(p);
    if (moved_count_ <= max_moved) ++moved_count_;
}

void huffman_coder::refresh_table() {
    if (moved_count_ > max_moved) {
        position_.fill(0);
        fill_table(root, 1, 0);
        moved_count_ = 0;
        return;
    }
    for (int i = 0; i < moved_count_; ++i) {
        int p = moved_[i];
        unsigned position = 0;
        int depth = 0;
        for (int n = p; n != root && depth <= table_bits; n = parent(n)) {
            position |= static_cast<unsigned>(up_[n] & 1) << depth;
            ++depth;
        }
        if (depth <= table_bits)
            fill_table(p, position | (1u << depth), depth);
        else
            clear_positions(p);
    }
    moved_count_ = 0;
}

void huffman_coder::fill_table(int p, unsigned position, int depth) {
    position_[p] = static_cast<std::uint16_t>(position);
    if (depth < table_bits) tree_[position] = static_cast<place>(p);
    auto entry = static_cast<std::uint16_t>(p | depth << 10);
    if (is_leaf(p)) {
        if (p != nyt_ && sym_[p] != end_symbol) entry |= plain_leaf;
        int spread = table_bits - depth;
        std::fill_n(decode_table_.begin() + ((position << spread) - (1u << table_bits)), 1u << spread, entry);
    } else if (depth == table_bits) {
        decode_table_[position - (1u << table_bits)] = entry;
        clear_positions(kid_[2 * p]);
        clear_positions(kid_[2 * p + 1]);
    } else {
        fill_table(kid_[2 * p], 2 * position, depth + 1);
        fill_table(kid_[2 * p + 1], 2 * position + 1, depth + 1);
    }
}

void huffman_coder::clear_positions(int p) {
    // Below a place without a position, every place had none already.
    position_[p] = 0;
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
    while (kid_[2 * n] >= 0) {
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
    // A local copy of the reader, so that its state can stay in registers.
    bit_reader r = in;
    std::byte* next = out.data();
    std::byte* const end = next + out.size();
    while (!finished_ && next != end) {
        if (r.count() < 32) r.refill();
        auto prefix = static_cast<unsigned>(r.bits() >> (64 - table_bits));
        unsigned entry = decode_table_[prefix];
        unsigned depth = (entry >> 10) & 15;
        // Codes longer than the table, the nyt leaf with its 8 bits, the end symbol and
        // codes cut by the end of the input take the walk through the tree.
        if ((entry & plain_leaf) != 0 && depth <= r.count()) {
            int leaf = static_cast<int>(entry & 1023);
            r.consume(depth);
            int s = sym_[leaf];
            *next++ = static_cast<std::byte>(s);
            unsigned position = (1u << depth) | (prefix >> (table_bits - depth));
            if (!count_in_place(leaf, position)) update_leaf(s, leaf, position);
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
