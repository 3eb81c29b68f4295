// The copy engine and its user: failed copies and time stamps, the Cancel question, and
// steps that fire while a message box is open.

#include <gtest/gtest.h>

#include "copy_test_package.hpp"
#include "install/file_copy_engine.hpp"
#include "install/file_copy_messages.hpp"
#include "install/removal_record.hpp"

namespace {

using install::copy_next;
using install_test::app_file;
using install_test::file_spec;
using install_test::make_file;
using platform::file_error;

constexpr const char* caption = "Tool Setup";
constexpr const char* uninstall_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
const std::string app_folder = "C:\\Program Files\\Vendor\\";

class copy_interaction_test : public ::testing::Test {
protected:
    install_test::sandbox box;
    install_test::faulty_system sys{box.sys()};
    install_test::scripted_screen screen;
    install_test::recording_view view;
    model::project_data project = install_test::make_project();
    package::package_image image;
    std::string temp = install_test::temp_of(box);

    /// Three files a.txt, b.txt, c.txt into the application's folder, in `volumes` volumes.
    void three_files(std::uint32_t volumes = 1) {
        std::vector<app_file> files;
        for (const char* n : {"a", "b", "c"}) {
            const std::string name = std::string(n) + ".txt";
            project.files.files.insert_or_assign(n,
                                                 make_file({name, "[PROGRAM FILES]\\Vendor\\" + name, name}));
            files.push_back({name, std::string(2000, n[0])});
        }
        image = install_test::build(files, volumes);
        install_test::write_prepared_temp(box, image, project);
    }

    copy_next drive(install::file_copy_engine& engine, copy_next next) {
        for (int guard = 0; install::is_step(next) && guard < 10000; ++guard) next = engine.run(next);
        return next;
    }

    std::vector<std::string> recorded_paths() {
        const auto bytes = box.get(app_folder + "arkrm.vrz");
        if (!bytes) return {};
        std::vector<std::string> out;
        for (const auto& e : install::removal_record::parse(model::as_bytes(*bytes)).entries)
            out.push_back(e.real_path);
        return out;
    }
};

// ---- failed copies ----

TEST_F(copy_interaction_test, AFailedCopyNamesTheFileAndTheCauseAndAbortEndsTheRun) {
    three_files();
    sys.copy_fault = [](const std::string&, const std::string& to) {
        return to == app_folder + "b.txt" ? file_error::SharingViolation : file_error::None;
    };
    screen.answers = {platform::IdAbort};
    install::file_copy_engine engine(sys, screen, view, project, "");
    EXPECT_EQ(drive(engine, engine.start(caption)), copy_next::Failed);

    ASSERT_EQ(screen.boxes.size(), 1u);
    const auto& b = screen.boxes[0];
    EXPECT_EQ(b.text,
              install::copy_failure_text(temp + "b.txt", app_folder + "b.txt", file_error::SharingViolation));
    EXPECT_NE(b.text.find(app_folder + "b.txt"), std::string::npos);
    EXPECT_NE(b.text.find(install::file_error_cause(file_error::SharingViolation)), std::string::npos);
    EXPECT_EQ(b.caption, caption);
    EXPECT_EQ(b.flags, platform::MbAbortRetryIgnore | platform::MbIconStop);
    EXPECT_EQ(view.failure_pages, 1);
    EXPECT_FALSE(screen.wait_cursor);
    // Never reported as success: no kit, no entry, nothing after the failed file.
    EXPECT_FALSE(box.exists(app_folder + "qlun.exe"));
    EXPECT_FALSE(box.sys().key_exists(platform::root_key::LocalMachine, uninstall_key));
    EXPECT_FALSE(box.exists(app_folder + "b.txt"));
    EXPECT_FALSE(box.exists(temp + "b.txt"));
    // The run is over: later steps and the Cancel button do nothing.
    EXPECT_EQ(engine.step_entry(), copy_next::Failed);
    EXPECT_EQ(engine.cancel(), copy_next::Wait);
}

TEST_F(copy_interaction_test, RetryCopiesAgainAndIgnoreSkipsOnlyThatFile) {
    three_files();
    int failures_left = 2;
    sys.copy_fault = [&](const std::string&, const std::string& to) {
        if (to == app_folder + "a.txt" && failures_left > 0) {
            --failures_left;
            return file_error::AccessDenied;
        }
        return to == app_folder + "c.txt" ? file_error::DiskFull : file_error::None;
    };
    screen.answers = {platform::IdRetry, platform::IdRetry, platform::IdIgnore};
    install::file_copy_engine engine(sys, screen, view, project, "");
    EXPECT_EQ(drive(engine, engine.start(caption)), copy_next::Finished);

    EXPECT_EQ(screen.boxes.size(), 3u);
    EXPECT_EQ(screen.boxes[2].text,
              install::copy_failure_text(temp + "c.txt", app_folder + "c.txt", file_error::DiskFull));
    EXPECT_TRUE(box.exists(app_folder + "a.txt"));
    EXPECT_TRUE(box.exists(app_folder + "b.txt"));
    EXPECT_FALSE(box.exists(app_folder + "c.txt"));
    EXPECT_EQ(view.failure_pages, 0);
    auto recorded = recorded_paths();
    std::sort(recorded.begin(), recorded.end());
    EXPECT_EQ(recorded, (std::vector<std::string>{app_folder + "a.txt", app_folder + "b.txt"}));
    EXPECT_TRUE(screen.wait_cursor == false);
}

TEST_F(copy_interaction_test, AReadOnlyFileInTheWayCanBeFreedAndRetried) {
    three_files();
    box.folders("C:\\Program Files\\Vendor");
    box.put(app_folder + "a.txt", "old");
    box.sys().set_attributes(app_folder + "a.txt", platform::ReadOnly);
    screen.answers = {platform::IdRetry};
    screen.while_open = [&](const install_test::scripted_screen::box&) {
        box.sys().set_attributes(app_folder + "a.txt", platform::Normal);
    };
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    EXPECT_EQ(drive(engine, engine.start(caption)), copy_next::Finished);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_NE(screen.boxes[0].text.find(install::file_error_cause(file_error::AccessDenied)),
              std::string::npos);
    EXPECT_EQ(box.get(app_folder + "a.txt"), std::string(2000, 'a'));
}

// ---- failed time stamps ----

TEST_F(copy_interaction_test, AFailedTimeStampIsReportedAndCanBeRetriedIgnoredOrStopped) {
    struct {
        int answer;
        copy_next result;
        bool stamped;
    } cases[] = {
        {platform::IdRetry, copy_next::Finished, true},
        {platform::IdIgnore, copy_next::Finished, false},
        {platform::IdAbort, copy_next::Failed, false},
    };
    for (const auto& c : cases) {
        install_test::sandbox machine;
        install_test::faulty_system faulty(machine.sys());
        install_test::scripted_screen answers;
        install_test::recording_view pages;
        model::project_data p = install_test::make_project();
        file_spec desc{"t.txt", "[PROGRAM FILES]\\Vendor\\t.txt", "t.txt"};
        desc.modified = {1999, 3, 3, 3, 3, 3};
        p.files.files.insert_or_assign("t", make_file(desc));
        install_test::write_prepared_temp(machine, install_test::build({{"t.txt", "T"}}), p);
        bool failed_once = false;
        faulty.times_fault = [&](const std::string&) {
            if (failed_once) return file_error::None;
            failed_once = true;
            return file_error::AccessDenied;
        };
        answers.answers = {c.answer};
        install::file_copy_engine engine(faulty, answers, pages, p, "");
        EXPECT_EQ(drive(engine, engine.start(caption)), c.result) << c.answer;
        ASSERT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(answers.boxes[0].text,
                  install::time_stamp_failure_text(app_folder + "t.txt", file_error::AccessDenied));
        EXPECT_EQ(answers.boxes[0].flags, platform::MbAbortRetryIgnore | platform::MbIconStop);
        const auto st = machine.sys().status(app_folder + "t.txt");
        ASSERT_TRUE(st);
        EXPECT_EQ(st->last_write == desc.modified, c.stamped) << c.answer;
        EXPECT_EQ(pages.failure_pages, c.result == copy_next::Failed ? 1 : 0);
    }
}

// ---- the Cancel button ----

TEST_F(copy_interaction_test, CancelYesEndsTheRunThroughTheFailurePage) {
    three_files();
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    copy_next next = engine.start(caption);
    next = engine.run(next);  // piece table
    next = engine.run(next);  // volume
    next = engine.run(next);  // first entry
    ASSERT_EQ(next, copy_next::Entry);
    screen.answers = {platform::IdYes};
    EXPECT_EQ(engine.cancel(), copy_next::Failed);
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, install::cancel_question_text);
    EXPECT_EQ(screen.boxes[0].caption, "セットアップ");
    EXPECT_EQ(screen.boxes[0].flags, platform::MbYesNo | platform::MbIconInformation);
    EXPECT_EQ(view.failure_pages, 1);
    EXPECT_FALSE(screen.wait_cursor);
    // A timer that was still armed does nothing any more.
    EXPECT_EQ(engine.run(copy_next::Entry), copy_next::Failed);
    EXPECT_EQ(box.sys().list_directory(app_folder).size(), 1u);
    EXPECT_FALSE(box.exists(app_folder + "qlun.exe"));
}

/// Cancel and No at every point of a run across three volumes: while the question is open
/// the armed step fires and must do nothing; afterwards the run goes on where it stopped and
/// places everything an uninterrupted run places.
TEST_F(copy_interaction_test, CancelNoAtAnyPointResumesWithoutSkippingAcrossVolumeChanges) {
    three_files(3);
    ASSERT_EQ(image.entries.back().volume, 3u) << "the package must change volumes";
    int steps_in_full_run = 0;
    {
        install_test::sandbox machine;
        install_test::write_prepared_temp(machine, image, project);
        install::file_copy_engine engine(machine.sys(), screen, view, project, "");
        for (copy_next next = engine.start(caption); install::is_step(next); next = engine.run(next))
            ++steps_in_full_run;
    }
    ASSERT_GT(steps_in_full_run, 8);

    for (int cancel_at = 0; cancel_at <= steps_in_full_run; ++cancel_at) {
        install_test::sandbox machine;
        install_test::write_prepared_temp(machine, image, project);
        install_test::scripted_screen questions;
        install_test::recording_view bar;
        install::file_copy_engine engine(machine.sys(), questions, bar, project, "");
        copy_next next = engine.start(caption);
        int steps = 0;
        while (install::is_step(next)) {
            if (steps == cancel_at) {
                const copy_next armed = next;
                const auto index_before = engine.entry_index();
                const auto volume_before = engine.extractor()->volume_counter();
                questions.answers = {platform::IdNo};
                questions.while_open = [&](const install_test::scripted_screen::box&) {
                    // The timers keep firing under the modal question.
                    EXPECT_EQ(engine.run(armed), copy_next::Wait);
                    EXPECT_EQ(engine.run(copy_next::Volume), copy_next::Wait);
                };
                EXPECT_EQ(engine.cancel(), armed) << "cancel at step " << cancel_at;
                questions.while_open = nullptr;
                EXPECT_EQ(engine.entry_index(), index_before);
                EXPECT_EQ(engine.extractor()->volume_counter(), volume_before);
            }
            next = engine.run(next);
            ++steps;
        }
        EXPECT_EQ(next, copy_next::Finished) << "cancel at step " << cancel_at;
        EXPECT_EQ(steps, steps_in_full_run) << "cancel at step " << cancel_at;
        for (const char* n : {"a", "b", "c"}) {
            EXPECT_EQ(machine.get(app_folder + n + ".txt"), std::string(2000, n[0]))
                << "cancel at step " << cancel_at;
        }
        EXPECT_EQ(bar.failure_pages, 0);
    }
}

TEST_F(copy_interaction_test, AStepThatFiresUnderAFailureQuestionWaits) {
    three_files();
    sys.copy_fault = [&](const std::string&, const std::string& to) {
        return to == app_folder + "a.txt" ? file_error::Other : file_error::None;
    };
    install::file_copy_engine engine(sys, screen, view, project, "");
    screen.answers = {platform::IdIgnore};
    int copies_during_box = -1;
    screen.while_open = [&](const install_test::scripted_screen::box&) {
        const int before = sys.copy_calls;
        EXPECT_EQ(engine.step_entry(), copy_next::Wait);
        EXPECT_EQ(engine.step_volume(), copy_next::Wait);
        // The Cancel button cannot interrupt a step half-way either.
        EXPECT_EQ(engine.cancel(), copy_next::Wait);
        copies_during_box = sys.copy_calls - before;
    };
    EXPECT_EQ(drive(engine, engine.start(caption)), copy_next::Finished);
    EXPECT_EQ(copies_during_box, 0);
    EXPECT_EQ(screen.boxes.size(), 1u);
    EXPECT_TRUE(box.exists(app_folder + "b.txt"));
    EXPECT_TRUE(box.exists(app_folder + "c.txt"));
}

TEST_F(copy_interaction_test, OnlyTheArmedStepRunsAndNothingRunsBeforeStart) {
    three_files();
    install::file_copy_engine engine(box.sys(), screen, view, project, "");
    EXPECT_EQ(engine.cancel(), copy_next::Wait);
    EXPECT_EQ(engine.run(copy_next::OpenPieceTable), copy_next::Wait);
    EXPECT_TRUE(screen.boxes.empty());
    ASSERT_EQ(engine.start(caption), copy_next::OpenPieceTable);
    // A stale timer of another step changes nothing.
    EXPECT_EQ(engine.step_entry(), copy_next::Wait);
    EXPECT_EQ(engine.step_finish(), copy_next::Wait);
    EXPECT_EQ(engine.entry_index(), 0);
    EXPECT_EQ(drive(engine, copy_next::OpenPieceTable), copy_next::Finished);
    EXPECT_TRUE(box.exists(app_folder + "c.txt"));
}

TEST(copy_timers, StepsAndTimerIdsMatch) {
    const std::pair<copy_next, int> pairs[] = {{copy_next::OpenPieceTable, 1027},
                                               {copy_next::Volume, 1028},
                                               {copy_next::Entry, 1029},
                                               {copy_next::Finish, 1031}};
    for (const auto& [step, id] : pairs) {
        EXPECT_EQ(install::timer_id(step), id);
        EXPECT_EQ(install::step_of_timer(id), step);
        EXPECT_TRUE(install::is_step(step));
    }
    for (copy_next other : {copy_next::Wait, copy_next::Finished, copy_next::Failed}) {
        EXPECT_EQ(install::timer_id(other), 0);
        EXPECT_FALSE(install::is_step(other));
    }
    EXPECT_EQ(install::step_of_timer(1030), copy_next::Wait);
}

}  // namespace
