#include "package/huffman_coder.hpp"

#include <algorithm>
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
    cur_ = root;
    leaf_to_inc_ = 0;
    path_symbol_ = incomplete;
    finished_ = false;
    reached_end_ = false;
    moved_count_ = 0;
    moved(root);
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

void huffman_coder::add_symbol(int symbol) {
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
    cur_ = b;
    leaf_to_inc_ = leaf;
    nyt_ = new_nyt;
    moved(b);
}

void huffman_coder::moved(int p) {
    if (moved_count_ == max_moved) {
        // Too many to patch one by one: rewrite the whole table.
        moved_[0] = root;
        moved_count_ = 1;
    }
    moved_[moved_count_++] = static_cast<place>(p);
}

void huffman_coder::refresh_table() {
    for (int i = 0; i < moved_count_; ++i) {
        int p = moved_[i];
        unsigned position = 0;
        int depth = 0;
        for (int n = p; n != root && depth <= table_bits; n = parent(n)) {
            position |= static_cast<unsigned>(up_[n] & 1) << depth;
            ++depth;
        }
        if (depth <= table_bits) fill_table(p, position | (1u << depth), depth);
    }
    moved_count_ = 0;
}

void huffman_coder::fill_table(int p, unsigned position, int depth) {
    auto entry = static_cast<std::uint16_t>(p | depth << 10);
    table_[position] = entry;
    if (depth == table_bits) return;
    if (is_leaf(p)) {
        int spread = table_bits - depth;
        std::fill_n(table_.begin() + (position << spread), 1u << spread, entry);
        return;
    }
    fill_table(kid_[2 * p], 2 * position, depth + 1);
    fill_table(kid_[2 * p + 1], 2 * position + 1, depth + 1);
}

void huffman_coder::lead(int a) {
    // c climbs to the highest place of the run of nodes like a (same weight, same kind).
    int c = a;
    while (key_[c - 1] == key_[c]) --c;
    if (c != a) {
        swap(a, c);
        a = c;
    }
    cur_ = a;
    if (parent(a) == parent(nyt_)) {
        leaf_to_inc_ = a;
        cur_ = parent(a);
    }
}

void huffman_coder::slide_increment() {
    int cur = cur_;
    std::uint64_t k = key_[cur];
    if (k & 1) {
        // A leaf moves above the internal nodes of its weight, never above the root.
        while (key_[cur - 1] == k - 1 && cur - 1 != root) {
            swap(cur, cur - 1);
            --cur;
        }
        key_[cur] = k + 2;
        cur_ = parent(cur);
        return;
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
    cur_ = p;
}

void huffman_coder::update_general(int symbol) {
    leaf_to_inc_ = 0;
    cur_ = find(symbol);
    if (cur_ == nyt_)
        add_symbol(symbol);
    else
        lead(cur_);
    while (cur_ != root) slide_increment();
    key_[root] += 2;
    if (leaf_to_inc_ != 0) {
        cur_ = leaf_to_inc_;
        slide_increment();
    }
    if (moved_count_ != 0) refresh_table();
}

void huffman_coder::count_from(int p) {
    leaf_to_inc_ = 0;
    cur_ = p;
    while (cur_ != root) slide_increment();
    if (moved_count_ != 0) refresh_table();
}

void huffman_coder::update_along_path(int symbol, const place* path, int depth) {
    // Mostly no node has to move: every node on the path then just counts one more, and
    // the path found while coding replaces the walk up the parent links.
    int a = path[depth];
    std::uint64_t ka = key_[a];
    // The leaf moves when the node above it has its weight (lead or slide), and its count
    // is deferred when it is the nyt leaf's sibling: both take the general way.
    if (a != leaf_of_[symbol + 1] || key_[a - 1] - (ka - 1) < 2 || parent(a) == parent(nyt_)) {
        update_general(symbol);
        return;
    }
    key_[a] = ka + 2;
    for (int i = depth - 1; i > 0; --i) {
        int p = path[i];
        std::uint64_t k = key_[p];
        std::uint64_t above = key_[p - 1];
        if (above == k || above == k + 3) {
            count_from(p);
            break;
        }
        key_[p] = k + 2;
    }
    key_[root] += 2;
}

void huffman_coder::update_from_table(int symbol, int leaf, unsigned prefix, int depth) {
    // As update_along_path, with the nodes above the leaf read from the table.
    std::uint64_t ka = key_[leaf];
    if (key_[leaf - 1] - (ka - 1) < 2 || parent(leaf) == parent(nyt_)) {
        update_general(symbol);
        return;
    }
    key_[leaf] = ka + 2;
    for (int j = depth - 1; j > 0; --j) {
        int p = table_[(1u << j) | (prefix >> (table_bits - j))] & 1023;
        std::uint64_t k = key_[p];
        std::uint64_t above = key_[p - 1];
        if (above == k || above == k + 3) {
            count_from(p);
            break;
        }
        key_[p] = k + 2;
    }
    key_[root] += 2;
}

void huffman_coder::update(int symbol) {
    if (symbol == path_symbol_) {
        path_symbol_ = incomplete;
        update_along_path(symbol, path_.data() + path_start_, path_depth_);
        return;
    }
    path_symbol_ = incomplete;
    update_general(symbol);
}

int huffman_coder::decode_symbol(bit_reader& in) {
    in.refill();
    std::uint64_t bits = in.bits();
    unsigned count = in.count();
    unsigned used = 0;
    place* path = path_.data();
    int n = root;
    int depth = 0;
    path[0] = root;
    path_symbol_ = incomplete;
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
        path[++depth] = static_cast<place>(n);
    }
    path_start_ = 0;
    path_depth_ = depth;
    int symbol;
    if (n != nyt_) {
        in.consume(used);
        symbol = sym_[n];
    } else {
        if (count - used < 8) {
            in.consume(used);
            in.refill();
            if (in.count() < 8) return incomplete;
            bits = in.bits();
            used = 0;
        }
        in.consume(used + 8);
        symbol = static_cast<int>(bits >> 56);
    }
    path_symbol_ = symbol;
    return symbol;
}

void huffman_coder::encode_symbol(int symbol, bit_writer& out) {
    int leaf = find(symbol);
    // The path is collected from the leaf upwards, in 64-bit pieces; the piece nearest the
    // root is the one still open when the walk ends.
    std::uint64_t pieces[(max_nodes + 63) / 64];
    int piece_count = 0;
    std::uint64_t code = 0;
    unsigned length = 0;
    int i = static_cast<int>(path_.size()) - 1;
    int n = leaf;
    path_[i] = static_cast<place>(n);
    while (n != root) {
        int slot = up_[n];
        code |= static_cast<std::uint64_t>(slot & 1) << length;
        n = slot >> 1;
        path_[--i] = static_cast<place>(n);
        if (++length == 64) {
            pieces[piece_count++] = code;
            code = 0;
            length = 0;
        }
    }
    path_start_ = i;
    path_depth_ = static_cast<int>(path_.size()) - 1 - i;
    path_symbol_ = symbol;
    out.put(code, length);
    while (piece_count > 0) out.put(pieces[--piece_count], 64);
    if (leaf == nyt_) out.put(static_cast<std::uint64_t>(symbol & 0xFF), 8);
}

std::size_t huffman_coder::decode_some(bit_reader& in, std::span<std::byte> out) {
    std::size_t written = 0;
    while (!finished_ && written < out.size()) {
        if (in.count() < 32) in.refill();
        auto prefix = static_cast<unsigned>(in.bits() >> (64 - table_bits));
        unsigned entry = table_[(1u << table_bits) | prefix];
        int leaf = static_cast<int>(entry & 1023);
        int depth = static_cast<int>(entry >> 10);
        // The table ends at deep codes, the nyt leaf needs its 8 bits, and near the end of
        // the input the code may be cut: those take the walk through the tree.
        if (kid_[2 * leaf] < 0 && leaf != nyt_ && static_cast<unsigned>(depth) <= in.count()) {
            in.consume(static_cast<unsigned>(depth));
            int s = sym_[leaf];
            if (s == end_symbol) {
                finished_ = true;
                reached_end_ = true;
                break;
            }
            out[written++] = static_cast<std::byte>(s);
            update_from_table(s, leaf, prefix, depth);
            continue;
        }
        int s = decode_symbol(in);
        if (s < 0) {
            finished_ = true;
            reached_end_ = s == end_symbol;
            break;
        }
        out[written++] = static_cast<std::byte>(s);
        update(s);
    }
    return written;
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
