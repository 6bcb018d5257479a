#include "shell_fixture.h"

#include "app/command_ids.h"
#include "dialog_test_support.h"
#include "meters/vexa_view.h"
#include "platform/drawing_context.h"
#include "setup/bitmap_cache.h"
#include "setup/drawing_context_canvas.h"
#include "setup/param_desc.h"
#include "setup/select_value_dialog.h"
#include "setup/value_input_dialog.h"
#include "setup/vexa_set_view.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <vector>

namespace {

QPoint Centre(const ParamDesc& r) {
    return {r.x + r.w / 2, r.y + r.h / 2};
}

void Move(QWidget* widget, QPoint at, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons,
                     modifiers);
    QCoreApplication::sendEvent(widget, &move);
}

void Turn(QWidget* widget, int delta, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), {}, {0, delta},
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}

class SetupViewTest : public ShellTest {
protected:
    void SetUp() override {
        Start();
        ASSERT_TRUE(app->InitInstance("")); // a multi-channel meter
        Frame(0)->show();
    }

    CVexaDoc* Doc() const { return ShellTest::Doc(0); }
    ParamTable& Table() const { return *Doc()->MeterView()->Params(); }
    ParamDesc& Record(int32_t id) const { return *FindParamById(Table(), id); }

    // The Level Meter Setup command, then the first paint.
    CVexaSetView* Open() {
        Frame(0)->RouteCommand(cmd::kLevelMeterSetup);
        CVexaSetView* view = Doc()->setupView;
        if (view) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
        }
        return view;
    }

    // What a full pass over the table as it is now draws.
    QImage Fresh() const {
        QImage image(254, 98, QImage::Format_RGB32);
        std::vector<ParamDesc> copy(Table().records.begin(), Table().records.end());
        DrawingContext dc(image);
        DrawParamControls(&dc, copy, true, SetupBitmaps());
        return image;
    }

    void Drag(CVexaSetView* view, int32_t id, int dy, Qt::KeyboardModifiers modifiers = {}) {
        const QPoint at = Centre(Record(id));
        QTest::mousePress(view, Qt::LeftButton, modifiers, at);
        Move(view, at + QPoint(0, dy), Qt::LeftButton, modifiers);
        QTest::mouseRelease(view, Qt::LeftButton, modifiers, at + QPoint(0, dy));
    }
};

TEST_F(SetupViewTest, TheCommandOpensTheWindowAtItsStoredRectangle) {
    CVexaSetView* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), "Level Meter Setup");
    EXPECT_TRUE(view->windowFlags() & Qt::Tool);
    EXPECT_EQ(view->HelpContext(), 228);
    EXPECT_EQ(view->size(), QSize(254, 98));
    EXPECT_EQ(view->Image(), Fresh());
    // A rectangle of the window's outer size is kept as it is.
    const QSize outer = view->frameGeometry().size();
    view->close();
    Doc()->SetWinPos = {300, 200, 300 + outer.width(), 200 + outer.height()};
    view = Open();
    EXPECT_EQ(view->frameGeometry(), QRect(QPoint(300, 200), outer));
}

TEST_F(SetupViewTest, TheStereoMetersWindowSaysSo) {
    Doc()->SetFunction(0, nullptr);
    EXPECT_EQ(Open()->windowTitle(), "Stereo Level Meter Setup");
}

TEST_F(SetupViewTest, AStoredRectangleOfAnotherSizeIsFittedAroundItsCentre) {
    Doc()->SetWinPos = {200, 300, 400, 400};
    CVexaSetView* view = Open();
    const QSize outer = view->frameGeometry().size();
    const QSize decoration = outer - view->size();
    // The client of 200 x 100 less the frame grows to 254 x 98 around the old centre.
    const QRect expected(QPoint(200 + (200 - (254 + decoration.width())) / 2,
                                300 + (100 - (98 + decoration.height())) / 2),
                         outer);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->frameGeometry() == expected; }))
        << view->frameGeometry().x() << "," << view->frameGeometry().y();
    EXPECT_EQ(view->size(), QSize(254, 98));
}

TEST_F(SetupViewTest, TheCommandAgainFocusesTheOpenWindow) {
    CVexaSetView* view = Open();
    Frame(0)->activateWindow();
    Frame(0)->RouteCommand(cmd::kLevelMeterSetup);
    EXPECT_EQ(Doc()->setupView, view);
    EXPECT_EQ(Frame(0)->findChildren<CVexaSetView*>().size(), 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(view));
}

TEST_F(SetupViewTest, AViewWithoutParametersOffersNoSetup) {
    CVexaView placeholder(profile);
    CommandState state;
    EXPECT_FALSE(placeholder.OnUpdateCommand(cmd::kLevelMeterSetup, state));
    CommandState meter;
    EXPECT_TRUE(Doc()->MeterView()->OnUpdateCommand(cmd::kLevelMeterSetup, meter));
}

TEST_F(SetupViewTest, EscapeClosesItAndItReopensWhereItWasAfterTheMeterMoved) {
    CVexaSetView* view = Open();
    view->move(400, 250);
    const QRect moved = view->frameGeometry();
    EXPECT_EQ(moved.topLeft(), QPoint(400, 250));
    EXPECT_EQ(Doc()->SetWinPos, (WinRect{400, 250, moved.right() + 1, moved.bottom() + 1}));
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(Doc()->setupView, nullptr);
    Flush();

    Frame(0)->SetOuterGeometry(QRect(20, 30, 500, 600));
    view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->frameGeometry(), moved);
}

TEST_F(SetupViewTest, DraggingABoxChangesTheValueDrawsItAndTellsTheMeter) {
    CVexaSetView* view = Open();
    Doc()->saveCountdown = 0;
    Drag(view, kParamBottomLevel, -4);
    EXPECT_EQ(Record(kParamBottomLevel).value, -40);
    EXPECT_FALSE(Record(kParamBottomLevel).flags & PF_CHANGED); // the meter view acted
    EXPECT_EQ(Doc()->saveCountdown, 3);
    EXPECT_EQ(view->Image(), Fresh());
    // The box stays selected: the wheel goes on from there, ten steps with Shift.
    Turn(view, -120);
    EXPECT_EQ(Record(kParamBottomLevel).value, -50);
    Turn(view, 120, Qt::ShiftModifier);
    EXPECT_EQ(Record(kParamBottomLevel).value, -20);
    EXPECT_EQ(view->Image(), Fresh());
}

TEST_F(SetupViewTest, AClickTogglesACheckBoxAndTheMeterActs) {
    CVexaSetView* view = Open();
    QTest::mouseClick(view, Qt::LeftButton, {}, Centre(Record(kParamRmsPlus3Db)));
    EXPECT_EQ(Record(kParamRmsPlus3Db).value, 0);
    EXPECT_FALSE(Record(kParamRmsPlus3Db).flags & PF_CHANGED);
    EXPECT_EQ(view->Image(), Fresh());
}

TEST_F(SetupViewTest, ADoubleClickOpensInputValueAndItsEntryIsStored) {
    CVexaSetView* view = Open();
    QString shownName;
    answer = [&shownName](QDialog& dialog) {
        auto* input = qobject_cast<ValueInputDialog*>(&dialog);
        if (!input)
            return int(QDialog::Rejected);
        input->show();
        shownName = FindControl<QLineEdit>(*input, kIdParamName)->text();
        FindControl<QLineEdit>(*input, kIdValueEdit)->setText("30");
        ClickButton(*input, kIdOk);
        return input->result();
    };
    const QPoint at = Centre(Record(kParamBottomLevel));
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    QTest::mouseDClick(view, Qt::LeftButton, {}, at);
    EXPECT_EQ(shownName, "Bottom Level");
    EXPECT_EQ(Record(kParamBottomLevel).value, -30);
    EXPECT_FALSE(Record(kParamBottomLevel).flags & PF_CHANGED);
    EXPECT_EQ(view->Image(), Fresh());
}

TEST_F(SetupViewTest, EnterOpensSelectValueForTheSelectedBox) {
    CVexaSetView* view = Open();
    QStringList listed;
    answer = [&listed](QDialog& dialog) {
        auto* select = qobject_cast<SelectValueDialog*>(&dialog);
        if (!select)
            return int(QDialog::Rejected);
        select->show();
        auto* list = FindControl<QListWidget>(*select, kIdChoiceList);
        listed = Lines(*list);
        ClickItem(*list, 2);
        ClickButton(*select, kIdOk);
        return select->result();
    };
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(listed.isEmpty());
    QTest::mouseClick(view, Qt::LeftButton, {}, Centre(Record(kParamTextLevelType)));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(listed, QStringList({"Peak ", "RMS  ", "OFF  "}));
    EXPECT_EQ(Record(kParamTextLevelType).value, 2);
    EXPECT_EQ(view->Image(), Fresh());
}

TEST_F(SetupViewTest, TheDocumentsUpdateDrawsWhatTheMeterChanged) {
    CVexaSetView* view = Open();
    ASSERT_TRUE(SetParamById(0, kParamCompressedScale, Table()));
    EXPECT_NE(view->Image(), Fresh());
    Doc()->UpdateAllViews(nullptr);
    EXPECT_EQ(view->Image(), Fresh());
}

TEST_F(SetupViewTest, CtrlCInTheMeterFlipsCompressedScaleInTheSetupWindow) {
    CVexaSetView* view = Open();
    CVexaView* meter = Doc()->MeterView();
    QTest::keyPress(meter, Qt::Key_Control);
    QTest::keyClick(meter, Qt::Key_C, Qt::ControlModifier);
    QTest::keyRelease(meter, Qt::Key_Control);
    EXPECT_EQ(Record(kParamCompressedScale).value, 0);
    EXPECT_EQ(view->Image(), Fresh());
}

TEST_F(SetupViewTest, KeysItDoesNotUseReachTheMeter) {
    CVexaSetView* view = Open();
    QTest::keyPress(view, Qt::Key_Control);
    EXPECT_EQ(Doc()->MeterView()->IsCtrlHeld(), 1);
    QTest::keyRelease(view, Qt::Key_Control);
    EXPECT_EQ(Doc()->MeterView()->IsCtrlHeld(), 0);
    // L switches the meter to the stereo function, which closes the setup window.
    QPointer<CVexaSetView> watched(view);
    QTest::keyClick(view, Qt::Key_L);
    EXPECT_EQ(Doc()->SWType, 0);
    EXPECT_EQ(Doc()->setupView, nullptr);
    Flush();
    EXPECT_TRUE(watched.isNull());
}

// Regression: F4 in a setup window switched the function of another meter window.
TEST_F(SetupViewTest, F4InTheSetupWindowSelectsTheFunctionOfItsOwnMeter) {
    ASSERT_TRUE(NewWindow(2));
    Frame(1)->show();
    ASSERT_TRUE(ShowActive(*Frame(0)));
    CVexaSetView* view = Open();
    ASSERT_TRUE(ShowActive(*view));
    AnswerFunctionSelect(0);
    QTest::keyClick(view, Qt::Key_F4);
    EXPECT_EQ(Doc()->SWType, 0);
    EXPECT_EQ(ShellTest::Doc(1)->SWType, 2);
}

// Regression: after a value dialog the meter window, not the setup window, was active.
TEST_F(SetupViewTest, TheSetupWindowIsActiveAgainAfterAValueDialog) {
    ASSERT_TRUE(ShowActive(*Frame(0)));
    CVexaSetView* view = Open();
    ASSERT_TRUE(ShowActive(*view));
    answer = [this](QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        dialog.accept();
        // What a window manager does when the dialog has gone: it activates the main window
        // of the program (the offscreen platform has none to do it).
        Frame(0)->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == Frame(0); }));
        return int(QDialog::Accepted);
    };
    const QPoint at = Centre(Record(kParamBottomLevel));
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    QTest::mouseDClick(view, Qt::LeftButton, {}, at);
    EXPECT_TRUE(QTest::qWaitFor([view] { return QApplication::activeWindow() == view; }))
        << (QApplication::activeWindow() ? QApplication::activeWindow()->metaObject()->className()
                                         : "no window");
    EXPECT_EQ(QApplication::focusWidget(), view);
}

TEST_F(SetupViewTest, F1ShowsTheSetupWindowsHelp) {
    HideHelp();
    CVexaSetView* view = Open();
    QTest::keyClick(view, Qt::Key_F1);
    EXPECT_TRUE(HelpShows(228));
}

TEST_F(SetupViewTest, ClosingTheMeterWindowTakesTheSetupWindowAlong) {
    ASSERT_TRUE(NewWindow(0));
    Frame(1)->show();
    Frame(1)->RouteCommand(cmd::kLevelMeterSetup);
    QPointer<CVexaSetView> view = ShellTest::Doc(1)->setupView;
    ASSERT_FALSE(view.isNull());
    Frame(1)->RouteCommand(cmd::kFileCloseWindow);
    Flush();
    EXPECT_TRUE(view.isNull());
}

} // namespace
