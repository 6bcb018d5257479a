#include "app/main_frame.h"

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Ostrel Levora");
    resize(320, 240);
}
