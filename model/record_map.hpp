#pragma once
// Hash maps of 17 buckets whose visiting order is part of the stored format: a new
// key goes to the head of its bucket, an existing key is replaced in place, and
// iteration runs over buckets 0 to 16, each from head to tail.

#include <cstdint>
#include <memory>
#include <string>
#include <map>
#include <utility>
#include <vector>

namespace model {

inline constexpr std::size_t map_bucket_count = 17;

/// Bucket of a text key: h = h * 33 + b over the bytes taken as signed, mod 17.
inline std::size_t bucket_of(const std::string& key) {
    std::uint32_t h = 0;
    for (char c : key) {
        h = h * 33u + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    }
    return h % map_bucket_count;
}

/// Bucket of a word key: (key / 16) mod 17.
inline std::size_t bucket_of(std::uint16_t key) { return (key / 16u) % map_bucket_count; }

template <class Key, class T>
class record_map {
public:
    using key_type = Key;
    using value_type = std::pair<Key, std::shared_ptr<T>>;

    std::size_t size() const { return index_.size(); }
    bool empty() const { return index_.empty(); }

    /// Inserts a new key at the head of its bucket, or replaces the value of an existing key in place.
    void insert_or_assign(const Key& key, std::shared_ptr<T> value) {
        if (buckets_.empty()) buckets_.resize(map_bucket_count);
        auto& bucket = buckets_[bucket_of(key)];
        auto [it, inserted] = index_.try_emplace(key, bucket.size());
        if (inserted) {
            bucket.emplace_back(key, std::move(value));
        } else {
            bucket[it->second].second = std::move(value);
        }
    }

    /// The value of key, or null.
    T* find(const Key& key) const {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : buckets_[bucket_of(key)][it->second].second.get();
    }

    /// True when key is present, even with a null value.
    bool contains(const Key& key) const { return index_.count(key) != 0; }

    void clear() {
        buckets_.clear();
        index_.clear();
    }

    /// Visits every entry with a value in the map's defined order: f(key, T&).
    /// Entries stored as null references are passed over.
    template <class F>
    void for_each(F&& f) const {
        for (const auto& bucket : buckets_) {
            for (auto entry = bucket.rbegin(); entry != bucket.rend(); ++entry) {
                if (entry->second) f(entry->first, *entry->second);
            }
        }
    }

    /// The entries in visiting order, null values included.
    std::vector<value_type> entries() const {
        std::vector<value_type> out;
        out.reserve(size());
        for (const auto& bucket : buckets_) out.insert(out.end(), bucket.rbegin(), bucket.rend());
        return out;
    }

private:
    // Each bucket is kept tail first, so that a new head is appended. The buckets are
    // made on the first insertion, so an empty map (most maps of a project) stays small.
    std::vector<std::vector<value_type>> buckets_;
    // Key to its place in its bucket: a large map is read in n log n time, whatever its keys.
    std::map<Key, std::size_t> index_;
};

template <class T>
using text_map = record_map<std::string, T>;
template <class T>
using word_map = record_map<std::uint16_t, T>;

}  // namespace model
