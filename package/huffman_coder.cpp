#include "package/huffman_coder.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
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
    for (unsigned level = 0; level < table_bits; ++level)
        key_[spare(level) - 1] = std::numeric_limits<std::uint64_t>::max();
    // The root starts as the nyt leaf of weight 0.
    key_[root] = 1;
    nyt_ = root;
    leaf_to_inc_ = 0;
    finished_ = false;
    reached_end_ = false;
    position_.fill(0);
    nyt_sibling_ = 1;
    table_on_ = false;
    depth_count_.fill(0);
    levels_ = table_bits;
    update(end_symbol);
    symbols_ = 0;
    if (warm_up_ == 0) start_table();
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
    nyt_sibling_ = 1;
    refresh_below(b);
    // The old nyt leaf's sibling is an ordinary node now.
    if (b != root) refresh_below(kid_[(up_[b] ^ 1)]);
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
    // An internal node moves above the internal nodes of its weight (the root never has
    // the weight of another internal node, but the check keeps a damaged tree from being
    // made circular), then above the leaves of its weight plus one; the node to count next
    // is its parent before the second move.
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

bool huffman_coder::moves(int p) const {
    std::uint64_t k = key_[p];
    std::uint64_t above = key_[p - 1];
    // A leaf slides above an internal node of its weight other than the root; an internal
    // node above an internal node of its weight or a leaf of its weight plus one.
    return (k & 1) ? above == k - 1 && p - 1 != root : above == k || above == k + 3;
}

void huffman_coder::count_up(int cur) {
    while (cur != root) {
        if (moves(cur)) {
            cur = slide_increment(cur);
            continue;
        }
        key_[cur] += 2;
        unsigned position = position_[cur];
        if (position != 0) {
            climb(cur, position);
            return;
        }
        cur = parent(cur);
    }
}

namespace {

/// One level of a climb: counts the node in a path entry, or returns false, with stop at
/// the node, when it has to move first. An internal node moves above a node of its weight
/// that is internal (difference 0) or above a leaf of its weight plus one (difference 3).
[[gnu::always_inline]] inline bool count_level(std::uint64_t* key, const std::uint16_t* path, std::uint64_t*& stop) {
    std::uint64_t* node = key + *path;
    std::uint64_t k = node[0];
    std::uint64_t difference = node[-1] - k;
    if (difference <= 3) [[unlikely]] {
        if (difference == 0 || difference == 3) {
            stop = node;
            return false;
        }
    }
    node[0] = k + 2;
    return true;
}

}  // namespace

void huffman_coder::climb(int p, unsigned position) {
    // The nodes above are read from the place's path, without a chain of loads through
    // the parent links; the root (level 0) is left to the caller.
    std::uint64_t* key = key_.data();
    const std::uint16_t* path = path_.data() + static_cast<std::size_t>(p) * table_bits;
    std::uint64_t* stop = nullptr;
    for (auto level = static_cast<unsigned>(std::bit_width(position)) - 1; level-- > 1;) {
        if (!count_level(key, path + level, stop)) {
            count_up(static_cast<int>(stop - key));
            return;
        }
    }
}

template <unsigned Levels>
inline void huffman_coder::climb_from_leaf(unsigned leaf, unsigned depth) {
    // The nodes above are read from the leaf's path. The top Levels levels are always
    // visited, so the number of steps does not depend on the code's length and there is
    // no loop exit to mispredict; the levels below them only for a leaf deeper than that.
    // At and below the leaf's own level the path holds spare slots, one for each level,
    // whose weight no node above matches; the leaf itself has been counted.
    std::uint64_t* key = key_.data();
    const std::uint16_t* path = path_.data() + static_cast<std::size_t>(leaf) * table_bits;
    std::uint64_t* stop = nullptr;
    bool done = [&] {
        if constexpr (Levels < table_bits) {
            if (depth > Levels) [[unlikely]] {
#pragma GCC unroll 16
                for (unsigned i = 1; i <= table_bits - Levels; ++i)
                    if (!count_level(key, path + (table_bits - i), stop)) return false;
            }
        }
        // The root (level 0) never moves: the sentinel above it has a weight no node reaches.
#pragma GCC unroll 16
        for (unsigned i = 1; i < Levels; ++i)
            if (!count_level(key, path + (Levels - i), stop)) return false;
        return true;
    }();
    if (!done) [[unlikely]] count_up(static_cast<int>(stop - key));
    key[root] += 2;
}

bool huffman_coder::lead_in_place(unsigned leaf) {
    std::uint64_t* key = key_.data();
    std::uint64_t k = key[leaf];
    if (key[leaf - 1] != k) return false;
    // lead: the leaf trades places with the highest leaf of its weight. Leaves of the same
    // weight differ in their symbols only; the end symbol's leaf is marked in the table.
    unsigned c = leaf - 1;
    while (key[c - 1] == k) --c;
    int s = sym_[leaf];
    int t = sym_[c];
    if (t == end_symbol) return false;
    sym_[leaf] = static_cast<place>(t);
    sym_[c] = static_cast<place>(s);
    leaf_of_[t + 1] = static_cast<place>(leaf);
    leaf_of_[s + 1] = static_cast<place>(c);
    unsigned position = position_[c];
    if (position == 0 || position == nyt_sibling_ || key[c - 1] == k - 1) {
        finish_update(static_cast<int>(c));
        return true;
    }
    key[c] = k + 2;
    climb_from_leaf<table_bits>(c, table_bits);
    return true;
}

template <unsigned Levels>
inline bool huffman_coder::count_in_place(unsigned leaf, unsigned depth) {
    std::uint64_t* key = key_.data();
    std::uint64_t k = key[leaf];
    // The leaf moves if the node above it has its weight (lead, or slide past an internal
    // node). The caller has made sure it is not the nyt leaf's sibling, whose count is
    // deferred.
    if (key[leaf - 1] - k + 1 <= 1) return lead_in_place(leaf);
    key[leaf] = k + 2;
    climb_from_leaf<Levels>(leaf, depth);
    return true;
}

void huffman_coder::finish_update(int a) {
    // What lead does after its move, then the rest of update.
    leaf_to_inc_ = 0;
    int cur = a;
    if (parent(a) == parent(nyt_)) {
        leaf_to_inc_ = a;
        cur = parent(a);
    }
    count_up(cur);
    key_[root] += 2;
    if (leaf_to_inc_ != 0) slide_increment(leaf_to_inc_);
}

void huffman_coder::update_leaf(int symbol, int leaf) {
    if (leaf == nyt_) {
        leaf_to_inc_ = 0;
        count_up(add_symbol(symbol));
        key_[root] += 2;
        slide_increment(leaf_to_inc_);
        return;
    }
    leaf_to_inc_ = 0;
    count_up(lead(leaf));
    key_[root] += 2;
    if (leaf_to_inc_ != 0) slide_increment(leaf_to_inc_);
}

void huffman_coder::update(int symbol) {
    if (!table_on_) {
        update_leaf(symbol, find(symbol));
        if (++symbols_ == warm_up_) start_table();
        return;
    }
    int leaf = find(symbol);
    unsigned position = position_[leaf];
    if (position != 0 && leaf != nyt_ && position != nyt_sibling_ &&
        count_in_place<table_bits>(static_cast<unsigned>(leaf), table_bits))
        return;
    update_leaf(symbol, leaf);
}

void huffman_coder::start_table() {
    table_on_ = true;
    position_.fill(0);
    fill_table(root, 1, 0);
}

void huffman_coder::refresh_below(int p) {
    if (!table_on_) return;
    unsigned position = position_[p];
    if (position != 0) {
        fill_table(p, position, static_cast<int>(std::bit_width(position)) - 1);
    } else if (!is_leaf(p)) {
        // Deeper than the table: the subtree now here may have come from above it.
        for (int kid : {kid_[2 * p], kid_[2 * p + 1]})
            if (position_[kid] != 0) clear_positions(kid);
    }
}

void huffman_coder::fill_table(int p, unsigned position, int depth) {
    position_[p] = static_cast<std::uint16_t>(position);
    // The path is the parent's, with the parent on its level.
    std::uint16_t* path = path_.data() + static_cast<std::size_t>(p) * table_bits;
    if (p == root) {
        for (unsigned level = 0; level < table_bits; ++level) path[level] = static_cast<std::uint16_t>(spare(level));
    } else {
        int above = parent(p);
        std::memcpy(path, path_.data() + static_cast<std::size_t>(above) * table_bits, table_bits * sizeof *path);
        path[depth - 1] = static_cast<std::uint16_t>(above);
    }
    auto spread = static_cast<unsigned>(table_bits - depth);
    unsigned row = (position << spread) - table_rows;
    if (is_leaf(p)) {
        decode_entry entry{static_cast<std::uint16_t>(p), static_cast<std::uint8_t>(depth), 0};
        // The nyt leaf is the 0 child of its parent, so it is filled before its sibling.
        if (p == nyt_)
            nyt_sibling_ = position ^ 1;
        else if (sym_[p] != end_symbol && position != nyt_sibling_)
            entry.plain = 1;
        decode_entry* first = decode_table_.data() + row;
        std::fill(first, first + (1u << spread), entry);
    } else if (depth == table_bits) {
        decode_table_[row] = decode_entry{static_cast<std::uint16_t>(p), static_cast<std::uint8_t>(depth), 0};
        for (int kid : {kid_[2 * p], kid_[2 * p + 1]})
            if (position_[kid] != 0) clear_positions(kid);
    } else {
        fill_table(kid_[2 * p], 2 * position, depth + 1);
        fill_table(kid_[2 * p + 1], 2 * position + 1, depth + 1);
    }
}

void huffman_coder::clear_positions(int p) {
    // Below a place without a position, every place had none already.
    position_[p] = 0;
    if (p == nyt_) nyt_sibling_ = 1;
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

template <unsigned Levels>
std::byte* huffman_coder::decode_run(bit_reader& in, std::byte* next, std::byte* end) {
    // A copy of the reader's state, kept in registers. It is topped up right after a code
    // is consumed, which also keeps the processor from waiting on the code's length late,
    // and on a fixed rhythm that the processor can predict: a full buffer (56 bits or
    // more) holds the codes of `burst` symbols from the table, so it is topped up after
    // every burst; near the end of the input, where it holds every bit left, after every
    // symbol. Below table_bits bits a code may be cut.
    constexpr unsigned burst = 56 / table_bits;
    bit_reader::state r = in.save();
    bool short_input = false;
    unsigned budget = 1;
    auto top_up = [&] {
        if (--budget == 0) {
            in.refill(r);
            short_input = r.count < table_bits;
            budget = r.count >= 56 ? burst : 1;
        }
    };
    top_up();
    std::uint32_t* depths = depth_count_.data();
    while (next != end) {
        const decode_entry& entry = decode_table_[r.bits >> (64 - table_bits)];
        if (entry.plain != 0 && !short_input) {
            unsigned leaf = entry.node;
            unsigned depth = entry.depth;
            bit_reader::skip(r, depth);
            top_up();
            ++depths[depth];
            int s = sym_[leaf];
            *next++ = static_cast<std::byte>(s);
            if (!count_in_place<Levels>(leaf, depth)) update_leaf(s, static_cast<int>(leaf));
            continue;
        }
        in.restore(r);
        next = walk(in, next);
        r = in.save();
        if (finished_) break;
        budget = 1;
        top_up();
    }
    in.restore(r);
    return next;
}

std::byte* huffman_coder::walk(bit_reader& in, std::byte* next) {
    int s = decode_symbol(in);
    if (s < 0) {
        finished_ = true;
        reached_end_ = s == end_symbol;
        return next;
    }
    *next++ = static_cast<std::byte>(s);
    update(s);
    return next;
}

void huffman_coder::choose_levels() {
    // Estimated cost per symbol in steps of one level: the levels always visited, all the
    // table's levels for a code longer than that, and a mispredicted branch (worth about
    // four levels) for the rarer side of "longer or not".
    std::uint64_t total = 0;
    for (std::uint32_t n : depth_count_) total += n;
    if (total == 0) return;
    std::uint64_t longer = 0;
    std::uint64_t best_cost = std::numeric_limits<std::uint64_t>::max();
    for (unsigned levels = table_bits; levels >= 2; --levels) {
        std::uint64_t cost = levels * total + longer * (table_bits - levels) + 4 * std::min(longer, total - longer);
        if (cost <= best_cost) {
            best_cost = cost;
            levels_ = levels;
        }
        longer += depth_count_[levels];
    }
    for (std::uint32_t& n : depth_count_) n /= 2;
}

std::size_t huffman_coder::decode_some(bit_reader& in, std::span<std::byte> out) {
    std::byte* next = out.data();
    std::byte* const end = next + out.size();
    // Walks the tree for each symbol during the warm-up; afterwards, for codes longer than
    // the table, the nyt leaf with its 8 bits, the end symbol, the nyt leaf's sibling, and
    // in the last few bits of the input, where a code may be cut.
    while (!finished_ && !table_on_ && next != end) next = walk(in, next);
    while (!finished_ && next != end) {
        std::byte* stop = end - next > block_size ? next + block_size : end;
        switch (levels_) {
        case 2: next = decode_run<2>(in, next, stop); break;
        case 3: next = decode_run<3>(in, next, stop); break;
        case 4: next = decode_run<4>(in, next, stop); break;
        case 5: next = decode_run<5>(in, next, stop); break;
        case 6: next = decode_run<6>(in, next, stop); break;
        case 7: next = decode_run<7>(in, next, stop); break;
        case 8: next = decode_run<8>(in, next, stop); break;
        case 9: next = decode_run<9>(in, next, stop); break;
        default: next = decode_run<table_bits>(in, next, stop); break;
        }
        choose_levels();
    }
    return static_cast<std::size_t>(next - out.data());
}

std::string huffman_decode(std::span<const std::byte> packed) {
    huffman_coder coder;
    bit_reader in(packed);
    std::string out;
    // Every code is at least one bit long, which bounds the first chunk for small input.
    std::size_t chunk = std::min<std::size_t>(std::size_t{1} << 16, packed.size() * 8 + 1);
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
