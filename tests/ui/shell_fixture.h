#pragma once

#include "app/main_frame.h"
#include "app/vexa_app.h"
#include "device/control_device.h"
#include "device/level_engine.h"
#include "dialogs/function_select_dialog.h"
#include "dialogs/modal_run.h"
#include "doc/meter_function.h"
#include "doc/vexa_doc.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "platform/memory_profile.h"
#include "platform/tick_source.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// A whole application on simulated cards, an in-memory settings store and a hand-driven
// tick; dialogs are answered by `answer` instead of a person.
class ShellTest : public testing::Test {
protected:
    static constexpr const char* kCards = "card 0 kind 7 speed single\n"
                                          "card 3 kind 0 speed single\n"
                                          "card 4 kind 2 speed double\n";

    explicit ShellTest(const char* cards = kCards) : transport(Config(cards)) {}

    ~ShellTest() override {
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (auto& function : MeterFunctions())
            function.openCount = 0;
    }

    static sim::DriverConfig Config(const char* text) {
        sim::DriverConfig config;
        std::string error;
        EXPECT_TRUE(sim::ParseDriverConfig(text, config, error)) << error;
        return config;
    }

    void Start() { app = std::make_unique<CVexaApp>(profile, engine, device); }

    // The Function Select dialog answers `function` (negative: Cancel).
    void AnswerFunctionSelect(int function) {
        answer = [function](QDialog& dialog) {
            auto* select = qobject_cast<FunctionSelectDialog*>(&dialog);
            if (!select || function < 0) {
                dialog.reject();
                return int(QDialog::Rejected);
            }
            select->SetSelection(function);
            dialog.accept();
            return int(QDialog::Accepted);
        };
    }

    CVexaDoc* Doc(int slot) const { return app->Slots()[slot].document; }
    CMainFrame* Frame(int slot) const { return app->Slots()[slot].frame; }
    int OpenWindows() const {
        int n = 0;
        for (const WindowSlot& s : app->Slots())
            n += s.frame != nullptr;
        return n;
    }

    // Opens a window with the function through New Levora Window.
    bool NewWindow(int function) {
        AnswerFunctionSelect(function);
        return app->OpenWindow(nullptr, nullptr);
    }

    void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The frame stands where `expected` says. The meter views lock the width to what their
    // layout needs and centre it on the stored rectangle, so only the centre is compared
    // horizontally.
    static void ExpectPlaced(const CMainFrame* frame, const QRect& expected) {
        const QRect outer = frame->OuterGeometry();
        EXPECT_EQ(outer.top(), expected.top());
        EXPECT_EQ(outer.height(), expected.height());
        EXPECT_NEAR(outer.left() + outer.width() / 2.0, expected.left() + expected.width() / 2.0,
                    1.0);
        if (frame->FixedWidth() != 0) {
            EXPECT_EQ(outer.width(), frame->FixedWidth());
        }
    }

    MemoryProfile profile;
    InProcessTransport transport;
    ManualTickSource ticks;
    ControlDevice device{transport};
    LevelEngine engine{transport, ticks, nullptr};
    std::unique_ptr<CVexaApp> app;
    ModalRunner answer = [](QDialog& d) {
        d.reject();
        return int(QDialog::Rejected);
    };
    ScopedModalRunner runner{[this](QDialog& d) { return answer(d); }};
};
