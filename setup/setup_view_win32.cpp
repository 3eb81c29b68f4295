// setup_view: the run of the installer, step by step on the view's timers.

#include "setup/setup_view.hpp"

#include "setup/setup_app.hpp"

namespace setup {

void setup_view::begin_preparation() { start_timer(preparation_timer, timer_period_ms); }

void setup_view::on_timer(UINT_PTR id) {
    if (id != preparation_timer) return;
    stop_timer(preparation_timer);
    // The preparation window and the pages are not part of this program yet: the run ends
    // here, after start-up, as a normal ending.
    app_.end_run();
}

}  // namespace setup
