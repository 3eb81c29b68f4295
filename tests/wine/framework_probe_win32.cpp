// framework_probe.exe: a small program on the window framework, driven by the robot in the
// Wine tests. A frame with a view; the view's timer opens a modeless progress window that
// advances one step per timer tick; Cancel (button or Esc) asks whether to stop; after ten
// steps a question and a modal summary page end the run.
// Exit codes: 0 finished, 2 declined after the steps, 3 stopped, 1 start-up failed.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "framework_probe.h"
#include "platform/win32_application.hpp"
#include "platform/win32_dialog.hpp"
#include "platform/win32_frame.hpp"
#include "platform/win32_screen.hpp"
#include "platform/win32_view.hpp"

namespace {

constexpr UINT_PTR start_timer_id = 1025;
constexpr UINT_PTR step_timer_id = 1027;
constexpr UINT step_period_ms = 300;
constexpr int step_count = 10;

class probe_summary : public platform::win32_dialog {
public:
    explicit probe_summary(HWND parent) : win32_dialog(IDD_PROBE_SUMMARY, parent) {}

protected:
    bool on_init_dialog() override {
        // Trail bytes 0x5C (ソ, 表) must survive the trip to the wide functions.
        std::string text = "ソフト表示 ";
        text += std::to_string(step_count);
        text += " ステップ";
        set_item_text(IDC_PROBE_TEXT, text);
        return true;
    }
};

class probe_progress : public platform::win32_dialog {
public:
    probe_progress(HWND parent, platform::win32_frame& frame, platform::screen& screen)
        : win32_dialog(IDD_PROBE_PROGRESS, parent), frame_(frame), screen_(screen) {}

protected:
    bool on_init_dialog() override {
        set_item_text(IDC_PROBE_TEXT, "ステップ 0");
        center_on_desktop();
        start_timer(step_timer_id, step_period_ms);
        return true;
    }

    void on_timer(UINT_PTR id) override {
        if (id != step_timer_id) return;
        stop_timer(step_timer_id);
        ++step_;
        SendDlgItemMessageW(handle(), IDC_PROBE_PROGRESS, PBM_SETPOS, step_ * 100 / step_count, 0);
        std::string text = "ステップ ";
        text += std::to_string(step_);
        set_item_text(IDC_PROBE_TEXT, text);
        if (step_ < step_count) {
            start_timer(step_timer_id, step_period_ms);
            return;
        }
        const int answer = screen_.message_box("10 ステップが終わりました。\n結果を表示しますか？", "確認",
                                               platform::MbYesNo | platform::MbIconQuestion);
        if (answer != platform::IdYes) {
            finish(2);
            return;
        }
        probe_summary summary(handle());
        summary.run_modal();
        finish(0);
    }

    void on_cancel() override {
        stop_timer(step_timer_id);
        const int answer =
            screen_.message_box("中止しますか？", "確認",
                                platform::MbYesNo | platform::MbIconExclamation | platform::MbDefButton2);
        if (answer == platform::IdYes) {
            finish(3);
        } else {
            start_timer(step_timer_id, step_period_ms);
        }
    }

private:
    void finish(int exit_code) {
        end(0);
        frame_.end_program_with(exit_code);
        frame_.destroy();
    }

    platform::win32_frame& frame_;
    platform::screen& screen_;
    int step_ = 0;
};

class probe_view : public platform::win32_view {
public:
    probe_view(platform::win32_frame& frame, platform::win32_screen& screen)
        : frame_(frame), screen_(screen) {}

    void begin() { start_timer(start_timer_id, 10); }

protected:
    void on_timer(UINT_PTR id) override {
        if (id != start_timer_id) return;
        stop_timer(start_timer_id);
        progress_ = std::make_unique<probe_progress>(handle(), frame_, screen_);
        if (!progress_->create_modeless()) {
            frame_.end_program_with(1);
            frame_.destroy();
            return;
        }
        screen_.set_owner(progress_->handle());
    }

    void on_paint(HDC dc, const PAINTSTRUCT&) override {
        RECT client{};
        GetClientRect(handle(), &client);
        DrawTextW(dc, L"フレーム テスト", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

private:
    platform::win32_frame& frame_;
    platform::win32_screen& screen_;
    std::unique_ptr<probe_progress> progress_;
};

class probe_app : public platform::win32_application {
public:
    using win32_application::win32_application;

protected:
    bool init_instance() override {
        auto view = std::make_unique<probe_view>(frame_, screen_);
        probe_view* shown_view = view.get();
        if (!frame_.create_frame("フレーム テスト", WS_OVERLAPPEDWINDOW, nullptr, std::move(view)))
            return false;
        frame_.end_program_with(0);
        SetWindowPos(frame_.handle(), HWND_TOP, 40, 40, 600, 400, SWP_SHOWWINDOW);
        shown_view->begin();
        started_ = true;
        return true;
    }

    int exit_instance(int quit_code) override { return started_ ? quit_code : 1; }

private:
    bool started_ = false;
    platform::win32_screen screen_;
    platform::win32_frame frame_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    probe_app app(instance);
    return app.run();
}
