// Read-only whole-file mapping on Windows: CreateFileW, CreateFileMappingW, MapViewOfFile.

#include <windows.h>

#include "platform/host_file.hpp"

namespace platform {
namespace {

class win32_mapped_file : public mapped_file {
public:
    win32_mapped_file(HANDLE file, HANDLE mapping, const void* view, std::size_t size)
        : file_(file), mapping_(mapping), view_(view), size_(size) {}
    win32_mapped_file(const win32_mapped_file&) = delete;
    win32_mapped_file& operator=(const win32_mapped_file&) = delete;
    ~win32_mapped_file() override {
        if (view_) UnmapViewOfFile(view_);
        if (mapping_) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    std::span<const std::byte> bytes() const override {
        return {static_cast<const std::byte*>(view_), size_};
    }

private:
    HANDLE file_;
    HANDLE mapping_;
    const void* view_;
    std::size_t size_;
};

}  // namespace

std::unique_ptr<mapped_file> map_host_file(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(file);
        return nullptr;
    }
    std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    // A mapping of zero bytes cannot be created: an empty file is a view of nothing.
    if (size == 0) return std::make_unique<win32_mapped_file>(file, nullptr, nullptr, 0);
    if (size > SIZE_MAX) {
        CloseHandle(file);
        return nullptr;
    }
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        CloseHandle(file);
        return nullptr;
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        CloseHandle(mapping);
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<win32_mapped_file>(file, mapping, view, static_cast<std::size_t>(size));
}

}  // namespace platform
