#pragma once
// A mapped_file over bytes in memory, for reading package files that are already loaded.

#include <cstddef>
#include <span>
#include <string>

#include "platform/system.hpp"

namespace package {

class memory_file : public platform::mapped_file {
public:
    /// Owns a copy of the bytes.
    explicit memory_file(std::string bytes) : owned_(std::move(bytes)) {
        view_ = {reinterpret_cast<const std::byte*>(owned_.data()), owned_.size()};
    }
    /// Refers to bytes that the caller keeps alive for the object's lifetime.
    explicit memory_file(std::span<const std::byte> bytes) : view_(bytes) {}

    std::span<const std::byte> bytes() const override { return view_; }

private:
    std::string owned_;
    std::span<const std::byte> view_;
};

}  // namespace package
