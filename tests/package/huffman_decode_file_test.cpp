// decode_file through the host sandbox: output written in chunks, and every way it can fail.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "package/huffman_coder.hpp"
#include "platform/host_system.hpp"
#include "tests/package/huffman_sample_data.hpp"

namespace {

namespace fs = std::filesystem;

/// An output file that accepts a limited number of bytes, or fails to close.
class limited_output : public platform::output_file {
public:
    limited_output(std::unique_ptr<platform::output_file> inner, std::size_t limit, bool close_fails)
        : inner_(std::move(inner)), limit_(limit), close_fails_(close_fails) {}
    bool write(std::span<const std::byte> data) override {
        ++writes_;
        if (data.size() > limit_) return false;
        limit_ -= data.size();
        return inner_->write(data);
    }
    bool close() override { return inner_->close() && !close_fails_; }
    static inline int writes_ = 0;

private:
    std::unique_ptr<platform::output_file> inner_;
    std::size_t limit_;
    bool close_fails_;
};

/// The sandbox with an optional fault in the files it creates.
class faulty_system : public platform::host_system {
public:
    using host_system::host_system;
    std::unique_ptr<platform::output_file> create_file(const std::string& path,
                                                       platform::file_error* error = nullptr) override {
        auto file = host_system::create_file(path, error);
        if (!file) return file;
        return std::make_unique<limited_output>(std::move(file), write_limit, close_fails);
    }
    std::size_t write_limit = static_cast<std::size_t>(-1);
    bool close_fails = false;
};

class huffman_decode_file : public testing::Test {
protected:
    void SetUp() override {
        // One folder per test, as tests may run side by side.
        root_ = fs::temp_directory_path() /
                (std::string("vrz_package_test_") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        sys_ = std::make_unique<faulty_system>(root_);
        ASSERT_EQ(sys_->create_directory("C:\\WORK"), platform::file_error::None);
        limited_output::writes_ = 0;
    }
    void TearDown() override {
        sys_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    void put(const std::string& path, const std::string& bytes) {
        auto file = sys_->host_system::create_file(path);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write(std::as_bytes(std::span(bytes))));
        ASSERT_TRUE(file->close());
    }
    std::string get(const std::string& path) {
        auto file = sys_->map_file(path);
        if (!file) return "<missing>";
        auto bytes = file->bytes();
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    static std::string pack(const std::string& plain) {
        return package::huffman_encode(std::as_bytes(std::span(plain)));
    }

    fs::path root_;
    std::unique_ptr<faulty_system> sys_;
};

TEST_F(huffman_decode_file, writes_a_large_file_in_chunks) {
    std::string plain = huffman_sample::text_like(300000, 61);
    put("C:\\WORK\\001.PAK", pack(plain));
    ASSERT_TRUE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\WORK\\readme.txt"));
    EXPECT_TRUE(get("C:\\WORK\\readme.txt") == plain);
    EXPECT_GT(limited_output::writes_, 1);
}

TEST_F(huffman_decode_file, empty_stream_gives_an_empty_file) {
    put("C:\\WORK\\001.PAK", pack(""));
    ASSERT_TRUE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\WORK\\empty.dat"));
    EXPECT_EQ(get("C:\\WORK\\empty.dat"), "");
}

TEST_F(huffman_decode_file, replaces_an_existing_output_file) {
    put("C:\\WORK\\001.PAK", pack("new"));
    put("C:\\WORK\\out.dat", "old content that is longer");
    ASSERT_TRUE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\WORK\\out.dat"));
    EXPECT_EQ(get("C:\\WORK\\out.dat"), "new");
}

TEST_F(huffman_decode_file, cut_stream_keeps_the_complete_symbols) {
    std::string plain = huffman_sample::binary_like(5000, 62);
    std::string packed = pack(plain);
    put("C:\\WORK\\001.PAK", packed.substr(0, packed.size() / 2));
    ASSERT_TRUE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\WORK\\out.dat"));
    std::string out = get("C:\\WORK\\out.dat");
    EXPECT_GT(out.size(), 0u);
    EXPECT_LT(out.size(), plain.size());
    EXPECT_TRUE(plain.compare(0, out.size(), out) == 0);
}

TEST_F(huffman_decode_file, missing_packed_file_fails_without_creating_the_output) {
    EXPECT_FALSE(package::decode_file(*sys_, "C:\\WORK\\none.pak", "C:\\WORK\\out.dat"));
    EXPECT_EQ(get("C:\\WORK\\out.dat"), "<missing>");
}

TEST_F(huffman_decode_file, output_in_a_missing_folder_fails) {
    put("C:\\WORK\\001.PAK", pack("data"));
    EXPECT_FALSE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\NOWHERE\\out.dat"));
}

TEST_F(huffman_decode_file, short_write_fails) {
    put("C:\\WORK\\001.PAK", pack(huffman_sample::text_like(200000, 63)));
    sys_->write_limit = 100000;
    EXPECT_FALSE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\WORK\\out.dat"));
}

TEST_F(huffman_decode_file, failed_close_fails) {
    put("C:\\WORK\\001.PAK", pack("data"));
    sys_->close_fails = true;
    EXPECT_FALSE(package::decode_file(*sys_, "C:\\WORK\\001.PAK", "C:\\WORK\\out.dat"));
}

}  // namespace
