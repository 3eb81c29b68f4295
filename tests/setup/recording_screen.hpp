#pragma once
// A screen and end pages that answer from a script and write every call into one event
// list, so that tests see what the user saw and in which order.

#include <deque>
#include <string>
#include <vector>

#include "platform/screen.hpp"
#include "setup/setup_pages.hpp"

namespace setup_test {

struct message_box_call {
    std::string text;
    std::string caption;
    unsigned flags = 0;
};

class recording_screen : public platform::screen, public setup::setup_pages {
public:
    std::vector<std::string> events;
    std::vector<message_box_call> boxes;
    std::deque<int> answers;  ///< answers of the next message boxes; IdOk when empty
    bool waiting = false;

    int message_box(const std::string& text, const std::string& caption, unsigned flags) override {
        events.push_back(waiting ? "message box (wait cursor on)" : "message box");
        boxes.push_back({text, caption, flags});
        if (answers.empty()) return platform::IdOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void set_wait_cursor(bool on) override {
        waiting = on;
        events.push_back(on ? "wait cursor on" : "wait cursor off");
    }
    void show_failure_page() override { events.push_back("failure page"); }
    void show_completion_page(bool restart) override {
        events.push_back(restart ? "completion page (restart)" : "completion page");
    }
};

}  // namespace setup_test
