#pragma once
// The adaptive Huffman coder written as plainly as possible: an array of node records, a
// linear search for a symbol's leaf, one bit per call through a byte-at-a-time reader and
// writer. The tests check the fast coder against it bit for bit and the benchmark uses it
// as the baseline. Like the fast coder, it stops at the end of the input and drops a
// symbol whose bits run past it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace huffman_reference {

struct node {
    int sym;
    int parent;
    int zero;
    int one;
    int order;
    int internal;
    std::int64_t weight;
};

/// Hands out one byte per call, -1 at the end.
class byte_source {
public:
    explicit byte_source(std::span<const std::byte> in) : in_(in) {}
    int get() { return pos_ < in_.size() ? static_cast<int>(in_[pos_++]) : -1; }

private:
    std::span<const std::byte> in_;
    std::size_t pos_ = 0;
};

class coder {
public:
    static constexpr int node_count = 515;

    // --- bit reader ---
    void reset_reader() { reader_reset_ = true; }
    int read_bit(byte_source& in) {
        if (reader_reset_) {
            mask_ = 1;
            current_ = 0;
            reader_reset_ = false;
        }
        if (mask_ == 1) {
            int c = in.get();
            if (c < 0) return -1;
            current_ = c;
            mask_ = 0x80;
        } else {
            mask_ /= 2;
        }
        return (current_ & mask_) != 0 ? 1 : 0;
    }

    // --- bit writer ---
    void put_bit(int bit) {
        out_byte_ = (out_byte_ << 1) | bit;
        if (++out_bits_ == 8) {
            out_.push_back(static_cast<char>(out_byte_));
            out_byte_ = 0;
            out_bits_ = 0;
        }
    }
    void pad() {
        while (out_bits_ != 0) put_bit(0);
    }
    std::string& output() { return out_; }
    std::size_t bits_written() const { return out_.size() * 8 + static_cast<std::size_t>(out_bits_); }

    // --- the tree ---
    void reset() {
        for (node& n : nodes) n = node{-2, -2, -2, -2, -2, 0, 0};
        for (int& r : rank_table) r = -2;
        nodes[0].parent = -1;
        nodes[0].order = 0;
        rank_table[0] = 0;
        nyt = 0;
        cur = 0;
        leaf_to_inc = 0;
        update(-1);
    }

    /// A symbol, or -3 when the input ends inside its code.
    int decode_symbol(byte_source& in) {
        int n = 0;
        while (nodes[n].internal) {
            int bit = read_bit(in);
            if (bit < 0) return -3;
            n = bit == 1 ? nodes[n].one : nodes[n].zero;
        }
        if (n == nyt) {
            int v = 0;
            for (int i = 0; i < 8; ++i) {
                int bit = read_bit(in);
                if (bit < 0) return -3;
                v = 2 * v + bit;
            }
            return v;
        }
        return nodes[n].sym;
    }

    void encode_symbol(int s) {
        int leaf = find(s);
        std::vector<int> path;
        for (int n = leaf; n != 0; n = nodes[n].parent) path.push_back(nodes[nodes[n].parent].one == n ? 1 : 0);
        for (auto it = path.rbegin(); it != path.rend(); ++it) put_bit(*it);
        if (leaf == nyt)
            for (int i = 7; i >= 0; --i) put_bit((s >> i) & 1);
    }

    int find(int s) const {
        for (int i = 0; i < nyt; ++i)
            if (nodes[i].sym == s) return i;
        return nyt;
    }

    void update(int s) {
        leaf_to_inc = 0;
        cur = find(s);
        if (cur == nyt)
            add_symbol(s);
        else
            lead(cur);
        while (cur != 0) slide_increment();
        nodes[0].weight += 1;
        if (leaf_to_inc != 0) {
            cur = leaf_to_inc;
            slide_increment();
        }
    }

    void add_symbol(int s) {
        int b = nyt;
        nodes[b].zero = b + 2;
        nodes[b].one = b + 1;
        nodes[b].internal = 1;
        nodes[b + 2].parent = b;
        nodes[b + 2].order = 0;
        nodes[b + 1].sym = s;
        nodes[b + 1].parent = b;
        nodes[b + 1].order = 1;
        for (int j = 0; j <= b; ++j) nodes[j].order += 2;
        for (int k = b; k >= 0; --k) rank_table[k + 2] = rank_table[k];
        rank_table[0] = b + 2;
        rank_table[1] = b + 1;
        cur = b;
        leaf_to_inc = b + 1;
        nyt = b + 2;
    }

    void lead(int a) {
        int c = a;
        int x = rank_table[nodes[a].order + 1];
        while (nodes[c].weight == nodes[x].weight && nodes[c].internal == nodes[x].internal) {
            int k = nodes[c].order;
            c = rank_table[k + 1];
            x = rank_table[k + 2];
        }
        if (c != a) swap(a, c);
        if (nodes[a].parent == nodes[nyt].parent && nodes[a].parent != -1) {
            leaf_to_inc = a;
            cur = nodes[a].parent;
        }
    }

    void slide_increment() {
        if (nodes[cur].internal == 0) {
            for (;;) {
                int x = rank_table[nodes[cur].order + 1];
                if (nodes[x].weight != nodes[cur].weight || nodes[x].internal != 1 || nodes[x].parent == -1) break;
                swap(cur, x);
            }
            nodes[cur].weight += 1;
            cur = nodes[cur].parent;
        } else {
            std::int64_t w = nodes[cur].weight;
            int x = rank_table[nodes[cur].order + 1];
            for (;;) {
                if (nodes[x].weight != nodes[cur].weight || nodes[x].internal != 1) break;
                swap(cur, x);
                x = rank_table[nodes[cur].order + 1];
            }
            int p = nodes[cur].parent;
            for (;;) {
                if (!(nodes[x].weight == w + 1 && nodes[x].internal == 0)) break;
                swap(cur, x);
                x = rank_table[nodes[cur].order + 1];
            }
            nodes[cur].weight += 1;
            cur = p;
        }
    }

    void swap(int a, int b) {
        int pa = nodes[a].parent;
        int pb = nodes[b].parent;
        bool a_in_zero = nodes[pa].zero == a;
        bool b_in_zero = nodes[pb].zero == b;
        (a_in_zero ? nodes[pa].zero : nodes[pa].one) = b;
        (b_in_zero ? nodes[pb].zero : nodes[pb].one) = a;
        std::swap(rank_table[nodes[a].order], rank_table[nodes[b].order]);
        std::swap(nodes[a].parent, nodes[b].parent);
        std::swap(nodes[a].order, nodes[b].order);
    }

    /// Throws std::logic_error when the tree's links, orders or weights disagree.
    void check_tree() const {
        auto fail = [](const std::string& what) { throw std::logic_error(what); };
        int count = nyt + 1;
        if (nodes[0].parent != -1) fail("root has a parent");
        for (int k = 0; k < count; ++k) {
            int n = rank_table[k];
            if (n < 0 || n >= count || nodes[n].order != k) fail("rank and order disagree");
        }
        for (int n = 0; n < count; ++n) {
            const node& d = nodes[n];
            if (d.internal) {
                if (nodes[d.zero].parent != n || nodes[d.one].parent != n) fail("child link broken");
                if (d.weight != nodes[d.zero].weight + nodes[d.one].weight) fail("weight is not the children's sum");
                if (d.order <= nodes[d.zero].order || d.order <= nodes[d.one].order) fail("parent below child");
            }
            if (n != 0) {
                const node& p = nodes[d.parent];
                if (p.zero != n && p.one != n) fail("parent does not hold node");
            }
            if (d.order + 1 < count && nodes[rank_table[d.order + 1]].weight < d.weight)
                fail("weights not sorted by order");
        }
    }

    node nodes[node_count];
    int rank_table[node_count];
    int nyt = 0;
    int cur = 0;
    int leaf_to_inc = 0;

private:
    bool reader_reset_ = true;
    int current_ = 0;
    int mask_ = 1;
    std::string out_;
    int out_byte_ = 0;
    int out_bits_ = 0;
};

/// Decodes until the end symbol or the end of input; ended_with_symbol tells which.
inline std::string decode(std::span<const std::byte> packed, bool* ended_with_symbol = nullptr) {
    coder c;
    byte_source in(packed);
    c.reset_reader();
    c.reset();
    std::string out;
    for (;;) {
        int s = c.decode_symbol(in);
        if (s < 0) {
            if (ended_with_symbol) *ended_with_symbol = s == -1;
            return out;
        }
        out.push_back(static_cast<char>(s));
        c.update(s);
    }
}

inline std::string encode(std::span<const std::byte> data) {
    coder c;
    c.reset();
    for (std::byte b : data) {
        c.encode_symbol(static_cast<int>(b));
        c.update(static_cast<int>(b));
    }
    c.encode_symbol(-1);
    c.pad();
    return std::move(c.output());
}

}  // namespace huffman_reference
