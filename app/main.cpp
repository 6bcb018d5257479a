#include "app/command_ids.h"
#include "app/instance_channel.h"
#include "app/main_frame.h"
#include "app/vexa_app.h"
#include "device/control_device.h"
#include "device/level_engine.h"
#include "platform/display_flush.h"
#include "platform/driver_choice.h"
#include "platform/qsettings_profile.h"
#include "platform/qt_poll_driver.h"
#include "platform/quit_on_signal.h"
#include "platform/tick_source.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

namespace {

CVexaApp* theApp = nullptr;

// The frame that receives a second launch's hand-over: any frame carrying the marker.
void DeliverHandOver() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->property("levoraMarker").toInt() == CMainFrame::kFrameMarker &&
            widget->isVisible()) {
            QCoreApplication::postEvent(widget, new QEvent(CMainFrame::kHandOverEvent));
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName("Ostrel");
    QApplication::setApplicationName("Ostrel Levora");
    QApplication::setApplicationVersion("2.0");
    QApplication::setQuitOnLastWindowClosed(false);
    FlushDisplayBeforeEachWait();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Levora: level meters for multichannel digital audio cards.\n"
        "Opens the workspace of the last run, or the setup (.lvr) or workspace (.lvw) file "
        "given.\nWithout a card driver it meters simulated demo cards; set LEVORA_DRIVER_DIR "
        "to use levora-driver.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "A setup (.lvr) or workspace (.lvw) file to open.",
                                 "[file]");
    parser.process(qtApp);
    if (parser.positionalArguments().size() > 1) {
        std::fputs("levora: at most one file can be opened\n", stderr);
        return 2;
    }
    const QString file = parser.positionalArguments().value(0);

    QSettingsProfile profile;
    InstanceChannel instance;
    switch (instance.Start(profile, file, [] { DeliverHandOver(); })) {
    case InstanceChannel::Result::HandedOver:
        return 0;
    case InstanceChannel::Result::Failed:
        std::fputs("levora: could not check for a running instance; starting anyway\n", stderr);
        break;
    case InstanceChannel::Result::Serving:
        break;
    }

    DriverChoice driver = ChooseDriverTransport();
    SteadyTickSource ticks;
    QtPollDriver pollDriver;
    ControlDevice device(*driver.transport);
    LevelEngine engine(*driver.transport, ticks, &pollDriver);
    CVexaApp app(profile, engine, device);
    theApp = &app;
    QuitOnTerminationSignals(&qtApp, [] {
        if (theApp && theApp->MainWindow())
            theApp->MainWindow()->RouteCommand(cmd::kAppExit);
        else if (theApp)
            theApp->OnCommand(cmd::kAppExit);
    });

    if (!app.InitInstance(file))
        return 1;
    const int result = qtApp.exec();
    app.CloseAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    theApp = nullptr;
    profile.Sync();
    return result;
}
