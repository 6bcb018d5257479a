#include "app/application_icon.h"
#include "app/command_line.h"
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
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Help and version need no display: answer them before the application object exists.
    switch (ParseCommandLine(arguments, false).action) {
    case CommandLine::Action::ShowHelp:
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::fputs(VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    default:
        break;
    }

    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName("Ostrel");
    QApplication::setApplicationName("Ostrel Levora");
    QApplication::setApplicationVersion(kProgramVersion);
    QApplication::setDesktopFileName(QStringLiteral(LEVORA_APPLICATION_ID));
    QApplication::setWindowIcon(ApplicationIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    FlushDisplayBeforeEachWait();

    const CommandLine commandLine = ParseCommandLine(QApplication::arguments(), true);
    if (commandLine.action == CommandLine::Action::Fail) {
        std::fprintf(stderr, "levora: %s\nTry 'levora --help' for more information.\n",
                     commandLine.error.toLocal8Bit().constData());
        return 2;
    }
    const QString file = commandLine.file;

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
    // The demo cards inside the program answer at once and take requests from one thread.
    QtPollDriver pollDriver(driver.embedded ? QtPollDriver::Requests::OnGuiThread
                                            : QtPollDriver::Requests::OnWorker);
    ControlDevice device(*driver.transport);
    LevelEngine engine(*driver.transport, ticks, &pollDriver);
    CVexaApp app(profile, engine, device);
    theApp = &app;
    QuitOnTerminationSignals(&qtApp, [] {
        if (theApp)
            theApp->RequestExit();
    });

    if (!app.InitInstance(file))
        return 1;
    const int result = qtApp.exec();
    app.CloseAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    theApp = nullptr;
    if (!profile.Sync())
        std::fputs("levora: the settings could not be saved; the settings saved before are kept\n",
                   stderr);
    return result;
}
