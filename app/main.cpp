#include "app/main_frame.h"
#include "platform/quit_on_signal.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrel");
    QApplication::setApplicationName("Ostrel Levora");
    QuitOnTerminationSignals(&app, [] { QApplication::closeAllWindows(); });
    CMainFrame frame;
    frame.show();
    return app.exec();
}
