#include "app/frame_bars.h"

#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>

namespace {

constexpr const char* kIdleText = "Press F1 for help.";
constexpr int kMessagePaneWidth = 120;

QLabel* SunkenPane(QLabel* pane, const char* name) {
    pane->setObjectName(name);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    return pane;
}

} // namespace

ElidedPane::ElidedPane(const QString& name, int minimumWidth) : minimumWidth_(minimumWidth) {
    setObjectName(name);
}

QSize ElidedPane::minimumSizeHint() const {
    return {minimumWidth_, QLabel::minimumSizeHint().height()};
}

void ElidedPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, alignment(), palette(), isEnabled(), shown,
                          foregroundRole());
}

StatusPanes::StatusPanes(QStatusBar& bar, const QStringList& rateTexts)
    : message_(new ElidedPane("pane0", kMessagePaneWidth)) {
    message_->setText(kIdleText);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    bar.addWidget(message_, 1);

    rate_ = SunkenPane(new QLabel, "59143");
    int widest = 0;
    for (const QString& text : rateTexts)
        widest = std::max(widest, rate_->fontMetrics().horizontalAdvance(text));
    // Fixed, like a pane sized for its resource text: the bar's narrowest width must not
    // depend on what the pane shows at the moment.
    const int padding = 2 * (rate_->frameWidth() + rate_->fontMetrics().averageCharWidth());
    rate_->setFixedWidth(widest + padding);
    bar.addPermanentWidget(rate_);
    bar.addPermanentWidget(SunkenPane(new QLabel("   "), "59144"));
}

void StatusPanes::ShowPrompt(const QString& prompt) {
    message_->setText(prompt.isEmpty() ? QString(kIdleText) : prompt);
}

void StatusPanes::ShowRate(const QString& text) {
    rate_->setText(text);
}

int FullMenuBarWidth(const QMenuBar& bar) {
    // A bar without a parent lays its titles out against the whole screen, so its size hint
    // is the width all of them need, in the same font and style.
    QMenuBar probe;
    probe.setFont(bar.font());
    for (QAction* action : bar.actions()) {
        if (action->isVisible())
            probe.addAction(action->text());
    }
    return probe.sizeHint().width();
}
