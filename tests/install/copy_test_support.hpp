#pragma once
// Helpers of the installation tests: a host sandbox per test, a screen that answers from a
// script and records every message box, and views that record what the engine shows.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "install/copy_view.hpp"
#include "install/preparation.hpp"
#include "model/byte_cursor.hpp"
#include "platform/host_system.hpp"
#include "platform/screen.hpp"

namespace install_test {

/// A host sandbox in a fresh folder, removed again with the object.
class sandbox {
public:
    /// machine_json: the sandbox's machine.json (empty: the defaults, Windows in C:\WINDOWS,
    /// platform id 1).
    explicit sandbox(const std::string& machine_json = {}) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        // Several sandboxes may live in one test at once.
        static int serial = 0;
        name += "_" + std::to_string(++serial);
        root_ = std::filesystem::path(::testing::TempDir()) / ("vrz_install_" + name);
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        if (!machine_json.empty()) {
            std::FILE* f = std::fopen((root_ / "machine.json").string().c_str(), "wb");
            std::fwrite(machine_json.data(), 1, machine_json.size(), f);
            std::fclose(f);
        }
        sys_ = std::make_unique<platform::host_system>(root_);
    }
    ~sandbox() {
        sys_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    sandbox(const sandbox&) = delete;
    sandbox& operator=(const sandbox&) = delete;

    platform::host_system& sys() { return *sys_; }
    const std::filesystem::path& root() const { return root_; }

    /// Writes a file at a Windows path (its folder must exist).
    void put(const std::string& path, const std::string& bytes) {
        auto out = sys_->create_file(path);
        ASSERT_TRUE(out) << path;
        ASSERT_TRUE(out->write(model::as_bytes(bytes)));
        ASSERT_TRUE(out->close());
    }
    /// The bytes of the file at a Windows path; nullopt when there is none.
    std::optional<std::string> get(const std::string& path) {
        auto st = sys_->status(path);
        if (!st || st->is_directory) return std::nullopt;
        auto mapping = sys_->map_file(path);
        if (!mapping) return std::nullopt;
        auto b = mapping->bytes();
        return std::string(reinterpret_cast<const char*>(b.data()), b.size());
    }
    bool is_folder(const std::string& path) {
        auto st = sys_->status(path);
        return st && st->is_directory;
    }
    bool exists(const std::string& path) { return sys_->status(path).has_value(); }
    /// Makes every folder of a folder path.
    void folders(const std::string& path) {
        std::string at;
        std::size_t from = 0;
        while (from <= path.size()) {
            std::size_t slash = path.find('\\', from);
            at = path.substr(0, slash == std::string::npos ? path.size() : slash);
            if (at.size() > 2) sys_->create_directory(at);
            if (slash == std::string::npos) break;
            from = slash + 1;
        }
    }

private:
    std::filesystem::path root_;
    std::unique_ptr<platform::host_system> sys_;
};

/// Answers message boxes from a script and records them. An unexpected box fails the test
/// and is answered with the first button of its kind.
class scripted_screen : public platform::screen {
public:
    struct box {
        std::string text;
        std::string caption;
        unsigned flags = 0;
    };
    std::vector<box> boxes;
    std::deque<int> answers;
    /// Called while a box is open, before it is answered: the place where timer messages
    /// would be dispatched.
    std::function<void(const box&)> while_open;
    bool wait_cursor = false;

    int message_box(const std::string& text, const std::string& caption, unsigned flags) override {
        boxes.push_back({text, caption, flags});
        if (while_open) while_open(boxes.back());
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected message box: " << text;
            return first_button(flags);
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void set_wait_cursor(bool on) override { wait_cursor = on; }

private:
    static int first_button(unsigned flags) {
        switch (flags & 0x0F) {
            case platform::MbAbortRetryIgnore:
                return platform::IdAbort;
            case platform::MbYesNo:
            case platform::MbYesNoCancel:
                return platform::IdYes;
            case platform::MbRetryCancel:
                return platform::IdRetry;
            default:
                return platform::IdOk;
        }
    }
};

class recording_view : public install::copy_view, public install::preparation_view {
public:
    std::vector<int> progress;
    std::vector<std::string> destinations;
    int failure_pages = 0;

    void set_progress(int position) override { progress.push_back(position); }
    void show_destination(const std::string& path) override { destinations.push_back(path); }
    void show_failure_page() override { ++failure_pages; }
};

}  // namespace install_test
