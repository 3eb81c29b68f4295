#pragma once
// The one error that readers of package files throw.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace model {

class format_error : public std::runtime_error {
public:
    format_error(std::size_t offset, const std::string& what)
        : std::runtime_error(what + " at offset " + std::to_string(offset)), offset_(offset) {}
    std::size_t offset() const { return offset_; }

private:
    std::size_t offset_;
};

}  // namespace model
