// Read-only whole-file mapping on POSIX hosts: open, fstat, mmap.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/host_file.hpp"

namespace platform {
namespace {

class posix_mapped_file : public mapped_file {
public:
    posix_mapped_file(void* view, std::size_t size) : view_(view), size_(size) {}
    posix_mapped_file(const posix_mapped_file&) = delete;
    posix_mapped_file& operator=(const posix_mapped_file&) = delete;
    ~posix_mapped_file() override {
        if (view_) munmap(view_, size_);
    }
    std::span<const std::byte> bytes() const override {
        return {static_cast<const std::byte*>(view_), size_};
    }

private:
    void* view_;
    std::size_t size_;
};

}  // namespace

std::unique_ptr<mapped_file> map_host_file(const std::filesystem::path& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > SIZE_MAX) {
        close(fd);
        return nullptr;
    }
    auto size = static_cast<std::size_t>(st.st_size);
    // mmap refuses a length of zero: an empty file is a view of nothing.
    void* view = nullptr;
    if (size > 0) {
        view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (view == MAP_FAILED) {
            close(fd);
            return nullptr;
        }
    }
    close(fd);
    return std::make_unique<posix_mapped_file>(view, size);
}

}  // namespace platform
