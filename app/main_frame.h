#pragma once

#include <QMainWindow>

// The frame of one meter window.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
};
