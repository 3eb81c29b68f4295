#pragma once
// Windows only. The installer's view: it drives the run from its timers, one step per tick.

#include "platform/win32_view.hpp"

namespace setup {

class setup_app;

class setup_view : public platform::win32_view {
public:
    /// Timer of the preparation step.
    static constexpr UINT_PTR preparation_timer = 1025;
    /// Timer of the pages.
    static constexpr UINT_PTR pages_timer = 1026;
    /// Period of the view's timers.
    static constexpr UINT timer_period_ms = 10;

    explicit setup_view(setup_app& app) : app_(app) {}

    /// Starts the run after start-up: the first step follows on the next timer tick.
    void begin_preparation();

protected:
    void on_timer(UINT_PTR id) override;

private:
    setup_app& app_;
};

}  // namespace setup
