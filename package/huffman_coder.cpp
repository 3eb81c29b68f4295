#include "package/huffman_coder.hpp"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "platform/system.hpp"

namespace package {

namespace {

constexpr int none = -2;
/// Stands one order above the root: its weight matches no real node, so the comparisons that
/// look one order higher stop there.
constexpr int sentinel = huffman_coder::max_nodes;

}  // namespace

void huffman_coder::reset() {
    weight_.fill(0);
    child_.fill(none);
    parent_.fill(none);
    order_.fill(none);
    sym_.fill(none);
    rank_.fill(sentinel);
    leaf_of_.fill(0);
    weight_[sentinel] = std::numeric_limits<std::uint64_t>::max();
    parent_[sentinel] = -1;
    parent_[0] = -1;
    order_[0] = 0;
    rank_[0] = 0;
    nyt_ = 0;
    cur_ = 0;
    leaf_to_inc_ = 0;
    finished_ = false;
    reached_end_ = false;
    update(end_symbol);
}

int huffman_coder::find(int symbol) const {
    // Symbols are unique among the leaves, so the lowest index holding it is its only leaf.
    int leaf = leaf_of_[symbol + 1];
    return leaf != 0 ? leaf : nyt_;
}

void huffman_coder::swap(int a, int b) {
    int pa = parent_[a];
    int pb = parent_[b];
    int slot_a = 2 * pa + (child_[2 * pa] == a ? 0 : 1);
    int slot_b = 2 * pb + (child_[2 * pb] == b ? 0 : 1);
    child_[slot_a] = static_cast<node_id>(b);
    child_[slot_b] = static_cast<node_id>(a);
    int oa = order_[a];
    int ob = order_[b];
    rank_[oa] = static_cast<node_id>(b);
    rank_[ob] = static_cast<node_id>(a);
    parent_[a] = static_cast<node_id>(pb);
    parent_[b] = static_cast<node_id>(pa);
    order_[a] = static_cast<node_id>(ob);
    order_[b] = static_cast<node_id>(oa);
}

void huffman_coder::add_symbol(int symbol) {
    int b = nyt_;
    child_[2 * b] = static_cast<node_id>(b + 2);
    child_[2 * b + 1] = static_cast<node_id>(b + 1);
    parent_[b + 2] = static_cast<node_id>(b);
    order_[b + 2] = 0;
    sym_[b + 1] = static_cast<node_id>(symbol);
    parent_[b + 1] = static_cast<node_id>(b);
    order_[b + 1] = 1;
    leaf_of_[symbol + 1] = static_cast<node_id>(b + 1);
    for (int j = 0; j <= b; ++j) order_[j] = static_cast<node_id>(order_[j] + 2);
    std::copy_backward(rank_.begin(), rank_.begin() + b + 1, rank_.begin() + b + 3);
    rank_[0] = static_cast<node_id>(b + 2);
    rank_[1] = static_cast<node_id>(b + 1);
    cur_ = b;
    leaf_to_inc_ = b + 1;
    nyt_ = b + 2;
}

void huffman_coder::lead(int a) {
    // c climbs to the highest order of the run of nodes like a (same weight, same kind).
    int c = a;
    int x = rank_[order_[a] + 1];
    bool internal_a = child_[2 * a] >= 0;
    std::uint64_t w = weight_[a];
    while (weight_[x] == w && (child_[2 * x] >= 0) == internal_a) {
        c = x;
        x = rank_[order_[c] + 1];
    }
    if (c != a) swap(a, c);
    int p = parent_[a];
    if (p == parent_[nyt_] && p != -1) {
        leaf_to_inc_ = a;
        cur_ = p;
    }
}

void huffman_coder::slide_increment() {
    int cur = cur_;
    if (child_[2 * cur] < 0) {
        for (;;) {
            int x = rank_[order_[cur] + 1];
            if (weight_[x] != weight_[cur] || child_[2 * x] < 0 || parent_[x] == -1) break;
            swap(cur, x);
        }
        weight_[cur] += 1;
        cur_ = parent_[cur];
        return;
    }
    std::uint64_t w = weight_[cur];
    int x = rank_[order_[cur] + 1];
    while (weight_[x] == w && child_[2 * x] >= 0) {
        swap(cur, x);
        x = rank_[order_[cur] + 1];
    }
    int p = parent_[cur];
    while (weight_[x] == w + 1 && child_[2 * x] < 0) {
        swap(cur, x);
        x = rank_[order_[cur] + 1];
    }
    weight_[cur] = w + 1;
    cur_ = p;
}

void huffman_coder::update(int symbol) {
    leaf_to_inc_ = 0;
    cur_ = find(symbol);
    if (cur_ == nyt_)
        add_symbol(symbol);
    else
        lead(cur_);
    while (cur_ != 0) slide_increment();
    weight_[0] += 1;
    if (leaf_to_inc_ != 0) {
        cur_ = leaf_to_inc_;
        slide_increment();
    }
}

int huffman_coder::decode_symbol(bit_reader& in) {
    in.refill();
    std::uint64_t bits = in.bits();
    unsigned count = in.count();
    unsigned used = 0;
    int n = 0;
    while (child_[2 * n] >= 0) {
        if (used == count) {
            in.consume(used);
            in.refill();
            bits = in.bits();
            count = in.count();
            used = 0;
            if (count == 0) return incomplete;
        }
        n = child_[2 * n + static_cast<int>(bits >> 63)];
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
    int n = leaf;
    // The path is collected from the leaf upwards in 64-bit pieces; the piece nearest the
    // root is the one still open when the walk ends.
    std::uint64_t pieces[(max_nodes + 63) / 64];
    int piece_count = 0;
    std::uint64_t code = 0;
    unsigned length = 0;
    while (n != 0) {
        int p = parent_[n];
        code |= static_cast<std::uint64_t>(child_[2 * p + 1] == n) << length;
        n = p;
        if (++length == 64) {
            pieces[piece_count++] = code;
            code = 0;
            length = 0;
        }
    }
    out.put(code, length);
    while (piece_count > 0) out.put(pieces[--piece_count], 64);
    if (leaf == nyt_) out.put(static_cast<std::uint64_t>(symbol & 0xFF), 8);
}

std::size_t huffman_coder::decode_some(bit_reader& in, std::span<std::byte> out) {
    std::size_t written = 0;
    while (!finished_ && written < out.size()) {
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
