#include "shell_fixture.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
#include "doc/line_archive.h"
#include "meters/vexa_level2_view.h"
#include "meters/vexa_level8_view.h"
#include "platform/drawing_context.h"
#include "platform/muldiv.h"
#include "setup/param_desc.h"

#include <QFontDialog>
#include <QLineEdit>
#include <QTest>

namespace {

constexpr int kStereo = 0;
constexpr int kMulti = 1;
constexpr int kGlobal = 2;
constexpr COLORREF kBlack = 0;

class MeterViewTest : public ShellTest {
protected:
    ~MeterViewTest() override { Globals() = GlobalSettings{}; }

    // The first window shows `function` on the Kestrel Zento card (kind 0, 26 channels).
    void StartWith(int function, int group = 0) {
        profile.WriteInt("Workspace\\Frame0", "SWType", function);
        profile.WriteInt("Workspace\\Frame0", "CardNumber", 3);
        profile.WriteInt("Workspace\\Frame0", "GroupNumber", group);
        Start();
        ASSERT_TRUE(app->InitInstance(""));
        Frame(0)->show();
        Settle();
    }
    // Lets the frame's layout hand the view its new size, as the event loop does.
    static void Settle() { QCoreApplication::processEvents(); }
    CVexaLevel2View* Stereo() const { return dynamic_cast<CVexaLevel2View*>(Doc(0)->MeterView()); }
    CVexaLevel8View* Multi() const { return dynamic_cast<CVexaLevel8View*>(Doc(0)->MeterView()); }
    CVexaMeterView* View() const { return dynamic_cast<CVexaMeterView*>(Doc(0)->MeterView()); }
    ParamTable& Params() const { return *View()->Params(); }
    double Value(int32_t id) const { return ParamValue(Params(), id); }
    COLORREF Pixel(int x, int y) const { return FromQColor(View()->Image().pixelColor(x, y)); }

    static LevelReport Report(double peak, double meanSquare, double elapsed = 0.02) {
        return {.peakA = peak,
                .meanSquareA = meanSquare,
                .peakB = peak,
                .meanSquareB = meanSquare,
                .elapsed = elapsed};
    }

    // The font dialog answers with `font` (or Cancel when null).
    void AnswerFont(const QFont* font) {
        answer = [font](QDialog& dialog) {
            auto* chooser = qobject_cast<QFontDialog*>(&dialog);
            if (!chooser || !font) {
                dialog.reject();
                return int(QDialog::Rejected);
            }
            chooser->setCurrentFont(*font);
            dialog.accept();
            return int(QDialog::Accepted);
        };
    }
};

TEST_F(MeterViewTest, StereoWindowWidthFollowsTheFontAndStaysLocked) {
    StartWith(kStereo);
    CVexaLevel2View* view = Stereo();
    ASSERT_NE(view, nullptr);
    // Never narrower than the menu and status bars need.
    EXPECT_EQ(view->width(), std::max(view->MinWidth(), Frame(0)->NarrowestViewWidth()));
    EXPECT_EQ(Frame(0)->FixedWidth(), Frame(0)->OuterGeometry().width());
    const int narrow = view->MinWidth();

    QFont big("Liberation Sans");
    big.setPixelSize(20);
    AnswerFont(&big);
    Frame(0)->RouteCommand(cmd::kFont);
    Settle();
    EXPECT_EQ(view->Font().lfHeight, -20);
    EXPECT_GT(view->MinWidth(), narrow);
    EXPECT_EQ(view->width(), std::max(view->MinWidth(), Frame(0)->NarrowestViewWidth()));
    // Cancel changes nothing.
    AnswerFont(nullptr);
    Frame(0)->RouteCommand(cmd::kFont);
    EXPECT_EQ(view->Font().lfHeight, -20);
}

// Regression: the font dialog opened on "Sans Serif" with an empty sample, as the meters ask
// for "ARIAL", which only fontconfig maps to a real face; and OK alone replaced the font.
TEST_F(MeterViewTest, FontDialogOpensOnTheDrawnFontAndOkAloneKeepsIt) {
    StartWith(kMulti);
    const LOGFONT before = View()->Font();
    const QString drawn = QFontInfo(ToQFont(before)).family();
    QString family;
    QString sample;
    int sampleHeight = 0;
    int lineHeight = 0;
    answer = [&](QDialog& dialog) {
        auto* chooser = qobject_cast<QFontDialog*>(&dialog);
        if (!chooser)
            return int(QDialog::Rejected);
        chooser->show();
        family = chooser->currentFont().family();
        if (auto* edit = chooser->findChild<QLineEdit*>("qt_fontDialog_sampleEdit")) {
            sample = edit->text();
            sampleHeight = edit->isVisible() ? edit->height() : 0;
            lineHeight = QFontMetrics(chooser->currentFont()).height();
        }
        chooser->accept();
        return int(QDialog::Accepted);
    };
    Frame(0)->RouteCommand(cmd::kFont);
    EXPECT_EQ(family, drawn);
    EXPECT_FALSE(sample.isEmpty());
    // The sample has room to show its text, though the effects box above it is hidden.
    EXPECT_GE(sampleHeight, lineHeight);
    EXPECT_EQ(View()->Font().ToBytes(), before.ToBytes());
}

TEST_F(MeterViewTest, ShortStereoWindowKeepsBarsOfFourteenTextHeights) {
    StartWith(kStereo);
    const QRect outer = Frame(0)->OuterGeometry();
    Frame(0)->SetOuterGeometry(QRect(outer.topLeft(), QSize(outer.width(), 150)));
    Settle();
    const int h = Stereo()->TextHeight();
    ASSERT_LT(Stereo()->height(), 14 * h);
    EXPECT_EQ(Stereo()->MeterColumns()[0].bar.bottom, 11 * h);
}

struct LevelCase {
    const char* what;
    double top;
    bool topChanged;
    double bottom;
    bool bottomChanged;
    double expectedTop;
    double expectedBottom;
};

class ScaleEnds : public MeterViewTest, public testing::WithParamInterface<LevelCase> {};

TEST_P(ScaleEnds, TopAndBottomLevelKeepTenDbApart) {
    const LevelCase& c = GetParam();
    StartWith(kStereo);
    ParamDesc* top = FindParamById(Params(), kParamTopLevel);
    ParamDesc* bottom = FindParamById(Params(), kParamBottomLevel);
    top->value = c.top;
    bottom->value = c.bottom;
    top->flags = c.topChanged ? PF_CHANGED : 0;
    bottom->flags = c.bottomChanged ? PF_CHANGED : 0;
    EXPECT_EQ(View()->OnParamsChanged(0), 1);
    EXPECT_DOUBLE_EQ(top->value, c.expectedTop);
    EXPECT_DOUBLE_EQ(bottom->value, c.expectedBottom);
    EXPECT_TRUE(((c.topChanged ? bottom : top)->flags & PF_REDRAW) != 0 ||
                (c.expectedTop == c.top && c.expectedBottom == c.bottom));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleEnds,
    testing::Values(LevelCase{"BothChangedTopFirst", -20, true, -20, true, -20, -30},
                    LevelCase{"OnlyBottomChanged", -20, false, -20, true, -10, -20},
                    LevelCase{"ApartAlready", -10, true, -60, true, -10, -60}),
    [](const auto& info) { return info.param.what; });

TEST_F(MeterViewTest, NothingChangedAndNoForceNeitherLaysOutNorRepaints) {
    StartWith(kStereo);
    EXPECT_EQ(View()->OnParamsChanged(0), 0);
    EXPECT_EQ(View()->OnParamsChanged(1), 1);
}

TEST_F(MeterViewTest, HoldResetClearsTheHoldsAndPopsBackOut) {
    StartWith(kStereo);
    CVexaLevel2View* view = Stereo();
    view->OnLevelReport(Report(0.5, 0.1), 0);
    view->OnLevelReport(Report(0.01, 0.0001), 0);
    ASSERT_NEAR(view->MeterColumns()[1].ballistics.hold, 0.5, 1e-9);
    SetParamById(1, kParamHoldReset, Params());
    view->OnParamsChanged(0);
    EXPECT_EQ(Value(kParamHoldReset), 0);
    EXPECT_EQ(view->MeterColumns()[1].ballistics.hold, 0);
    EXPECT_EQ(view->MeterColumns()[2].ballistics.hold, 0);
    // A double click does the same.
    view->OnLevelReport(Report(0.5, 0.1), 0);
    QTest::mouseDClick(view, Qt::LeftButton);
    EXPECT_EQ(view->MeterColumns()[1].ballistics.hold, 0);
}

TEST_F(MeterViewTest, CtrlKeysToggleSwitchesAndNeverSwitchTheFunction) {
    StartWith(kStereo);
    CVexaMeterView* view = View();
    const double compressed = Value(kParamCompressedScale);
    QTest::keyPress(view, Qt::Key_Control);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Value(kParamCompressedScale), 1 - compressed);
    EXPECT_EQ(Stereo()->MeterColumns()[0].compressed, 1 - compressed);
    QTest::keyClick(view, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(Value(kParamInstantHold), 1);
    QTest::keyClick(view, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(Doc(0)->SWType, kStereo);
    QTest::keyRelease(view, Qt::Key_Control);
    EXPECT_EQ(view->IsCtrlHeld(), 0);
    QTest::keyClick(view, Qt::Key_M);
    EXPECT_EQ(Doc(0)->SWType, kMulti);
}

TEST_F(MeterViewTest, AReportDrawsTheBarsIntoTheImageAtTheirLevels) {
    StartWith(kStereo);
    CVexaLevel2View* view = Stereo();
    // -20 dB peak, -30 dB mean square: with RMS +3dB on, the RMS bars show -30 dB.
    view->OnLevelReport(Report(0.1, 0.001), 0);
    for (int j : {0, 3}) {
        const MeterColumn& c = view->MeterColumns()[j];
        const int row = c.bar.top + c.LevelToOffset(-30);
        EXPECT_EQ(Pixel(c.centerX, row - 1), kBlack) << j;
        EXPECT_EQ(Pixel(c.centerX, row + 1), Globals().NormalColor) << j;
    }
    // The peak bars end under their hold markers, whose outline is black.
    const MeterColumn& left = view->MeterColumns()[1];
    const int row = left.bar.top + left.LevelToOffset(-20);
    EXPECT_EQ(Pixel(left.centerX, row - view->TextHeight() / 6), kBlack);
    EXPECT_EQ(Pixel(left.centerX, row - view->TextHeight() / 6 - 1), kBlack);
    EXPECT_EQ(Pixel(left.centerX, row + view->TextHeight() / 6 + 1), Globals().NormalColor);
    // Readouts come with the first report after 0.09 s.
    const MeterColumn& peak = view->MeterColumns()[1];
    const COLORREF back = Pixel(peak.readout.left + 1, peak.readout.top + 1);
    for (int i = 0; i < 4; ++i)
        view->OnLevelReport(Report(0.1, 0.001, 0.025), 0);
    bool text = false;
    for (int x = peak.readout.left; x < peak.readout.right; ++x)
        for (int y = peak.readout.top; y < peak.readout.bottom; ++y)
            text |= Pixel(x, y) != back;
    EXPECT_TRUE(text);
}

TEST_F(MeterViewTest, ANewNormalColourShowsAtTheNextReport) {
    StartWith(kStereo);
    CVexaLevel2View* view = Stereo();
    view->OnLevelReport(Report(0.1, 0.001), 0);
    Globals().NormalColor = RGB(0, 0, 255);
    view->OnLevelReport(Report(0.1, 0.001), 0);
    const MeterColumn& c = view->MeterColumns()[1];
    EXPECT_EQ(Pixel(c.centerX, c.bar.bottom - 2), RGB(0, 0, 255));
}

TEST_F(MeterViewTest, FontTravelsThroughTheSetupFileAndTheRegistry) {
    StartWith(kStereo);
    CVexaMeterView* view = View();
    LineReader reader("Font=-16,700,1,0,34,Courier New\nLevel Meter Top Level=-10.000000\n\n");
    view->Serialize(reader);
    EXPECT_EQ(view->Font().lfHeight, -16);
    EXPECT_EQ(view->Font().lfWeight, 700);
    EXPECT_EQ(view->Font().lfItalic, 1);
    EXPECT_EQ(view->Font().lfPitchAndFamily, 34);
    EXPECT_STREQ(view->Font().lfFaceName, "Courier New");
    EXPECT_EQ(Value(kParamTopLevel), -10);
    LineWriter writer;
    view->Serialize(writer);
    EXPECT_TRUE(writer.Bytes().starts_with("Font=-16,700,1,0,34,Courier New\n"));
    EXPECT_TRUE(writer.Bytes().ends_with("\n\n\n"));

    view->SaveSettings("Test");
    std::vector<uint8_t> stored;
    ASSERT_TRUE(profile.ReadBinary("Test", "Font", stored));
    EXPECT_EQ(stored.size(), 60u);
    // A stored value of another size is not a font.
    profile.WriteBinary("Other", "Font", std::vector<uint8_t>(59, 1));
    view->LoadSettings("Other");
    EXPECT_STREQ(view->Font().lfFaceName, "Courier New");
    profile.WriteBinary("Other", "Font", MakeArialFont(-11).ToBytes());
    view->LoadSettings("Other");
    EXPECT_EQ(view->Font().lfHeight, -11);
}

TEST_F(MeterViewTest, HelpTopicsFollowTheFunction) {
    StartWith(kStereo);
    EXPECT_EQ(View()->HelpTopic(), help::kStereoMeter);
    Doc(0)->SelectFunctionByKey('M');
    EXPECT_EQ(View()->HelpTopic(), help::kMultiMeter);
    Doc(0)->SelectFunctionByKey('G');
    EXPECT_EQ(View()->HelpTopic(), help::kGlobalMeter);
    EXPECT_EQ(Multi()->ChannelCount(), 26);
}

TEST_F(MeterViewTest, ReadoutsOffNarrowsTheWindowAndShowsGroupLabels) {
    StartWith(kGlobal);
    CVexaLevel8View* view = Multi();
    const int wide = view->MinWidth();
    const int frameWide = Frame(0)->OuterGeometry().width();
    SetParamById(2, kParamTextLevelType, Params());
    view->OnParamsChanged(0);
    Settle();
    EXPECT_LT(view->MinWidth(), wide);
    EXPECT_EQ(view->width(), view->MinWidth());
    EXPECT_EQ(Frame(0)->OuterGeometry().width(), frameWide - (wide - view->MinWidth()));
    EXPECT_STREQ(view->MeterColumns()[0].numberLabel, "1");
    EXPECT_STREQ(view->MeterColumns()[3].groupLabel, "ADAT 1");
    // The label stands above the bars, centred between the fourth and the fifth column.
    const MeterColumn& c = view->MeterColumns()[3];
    const int labelTop = c.bar.top - MulDiv(view->TextHeight(), 3, 2);
    bool drawn = false;
    for (int x = c.centerX; x < c.centerX + view->ColumnPitch(); ++x)
        for (int y = labelTop; y < labelTop + view->TextHeight(); ++y)
            drawn |= Pixel(x, y) == kBlack;
    EXPECT_TRUE(drawn);
}

TEST_F(MeterViewTest, AGroupTheCardLacksShowsAnEmptyMeter) {
    StartWith(kMulti, 7);
    CVexaLevel8View* view = Multi();
    EXPECT_EQ(view->ChannelCount(), 0);
    for (const MeterColumn& c : view->MeterColumns())
        EXPECT_EQ(c.enabled, 0);
    // Only the background is painted.
    const QImage& image = view->Image();
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            ASSERT_EQ(image.pixel(x, y), background) << x << "," << y;
    // A report for such a pair changes nothing.
    view->OnLevelReport(Report(0.5, 0.1), 0);
    EXPECT_EQ(view->MeterColumns()[0].ballistics.peak, 0);
}

TEST_F(MeterViewTest, MultiChannelGroupShowsItsEightChannels) {
    StartWith(kMulti, 2);
    CVexaLevel8View* view = Multi();
    EXPECT_EQ(view->ChannelCount(), 8);
    EXPECT_EQ(view->FirstChannel(), 16);
    EXPECT_STREQ(view->MeterColumns()[0].numberLabel, "A3-1");
    // Reports go to the pair's columns; the bar value follows the bar level type (RMS).
    view->OnLevelReport(Report(0.5, 0.01), 1);
    EXPECT_NEAR(view->MeterColumns()[2].ballistics.barValue, -20, 1e-9);
    EXPECT_EQ(view->MeterColumns()[0].ballistics.peak, 0);
}

// Regression: the page showed the scale with empty bars.
TEST_F(MeterViewTest, PrintingPaintsWhatTheWindowShows) {
    StartWith(kStereo);
    CVexaLevel2View* view = Stereo();
    view->OnLevelReport(Report(0.5, 0.1), 0);
    const QImage window = view->Image();
    const MeterColumn& c = view->MeterColumns()[1]; // the left peak bar, at -6 dB
    const int lit = c.bar.bottom - 5;
    ASSERT_EQ(window.pixel(c.centerX, lit), qRgb(0, 220, 0));
    QImage sheet(window.width() * 2, window.height() * 3, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    view->PrintPage(sheet);
    // Scaled by two: the lit bar, the black strip above it and the readout as on screen.
    EXPECT_EQ(sheet.pixel(2 * c.centerX, 2 * lit), qRgb(0, 220, 0));
    EXPECT_EQ(sheet.pixel(2 * c.centerX, 2 * (c.bar.top + 1)), qRgb(0, 0, 0));
    for (int y = c.readout.top; y < c.readout.bottom; ++y)
        for (int x = c.readout.left; x < c.readout.right; ++x)
            ASSERT_EQ(sheet.pixel(2 * x, 2 * y), window.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(sheet.pixel(10, sheet.height() - 10), qRgb(255, 255, 255));
    // Ctrl+P opens the print preview, from which the page is printed.
    QString shown;
    answer = [&shown](QDialog& dialog) {
        shown = dialog.metaObject()->className();
        dialog.reject();
        return int(QDialog::Rejected);
    };
    QTest::keyClick(Frame(0), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(shown, "QPrintPreviewDialog");
}

TEST_F(MeterViewTest, ViewWithoutAnImageStillRunsTheBallistics) {
    CVexaLevel2View view(profile);
    view.OnLevelReport(Report(0.5, 0.1), 0);
    EXPECT_NEAR(view.MeterColumns()[1].ballistics.hold, 0.5, 1e-9);
    EXPECT_TRUE(view.Image().isNull());
}

} // namespace
