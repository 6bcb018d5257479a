#pragma once

#include <QLabel>
#include <QStringList>

class QMenuBar;
class QStatusBar;

// A status-bar pane that shows as much of its text as its width allows, cut with "…",
// instead of spilling over its neighbour.
class ElidedPane : public QLabel {
    Q_OBJECT

public:
    ElidedPane(const QString& name, int minimumWidth);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimumWidth_;
};

// The frame's status bar: the message pane 0 (the idle text or the prompt of the command
// under the pointer, at least 120 pixels wide and elided), the rate pane 59143 wide enough
// for the longest of `rateTexts`, and the empty pane 59144. Its narrowest width shows every
// pane whole, side by side.
class StatusPanes {
public:
    StatusPanes(QStatusBar& bar, const QStringList& rateTexts);

    // An empty prompt shows the idle text.
    void ShowPrompt(const QString& prompt);
    void ShowRate(const QString& text);

private:
    ElidedPane* message_;
    QLabel* rate_;
};

// The narrowest width at which `bar` shows every menu title, none hidden behind its
// extension button.
int FullMenuBarWidth(const QMenuBar& bar);
