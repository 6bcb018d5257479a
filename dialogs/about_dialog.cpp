#include "dialogs/about_dialog.h"

#include "app/application_icon.h"
#include "dialogs/dialog_template.h"
#include "dialogs/modal_run.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace {

// A web link drawn as one: blue, underlined, a little smaller than the dialog's text, on the
// dialog's own face, with the hand cursor; a click on it calls `onClick`.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, std::function<void()> onClick)
        : QLabel(text), onClick_(std::move(onClick)) {
        setCursor(Qt::PointingHandCursor);
        QPalette colors = palette();
        colors.setColor(QPalette::WindowText, QColor(0, 0, 255));
        setPalette(colors);
        setAutoFillBackground(false);
    }

    // Called once the label has the dialog's font.
    void UseSmallFont() {
        QFont small = font();
        if (small.pointSizeF() > 0)
            small.setPointSizeF(small.pointSizeF() * kSmallScale);
        else
            small.setPixelSize(qRound(small.pixelSize() * kSmallScale));
        small.setUnderline(true);
        setFont(small);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            onClick_();
    }

private:
    static constexpr double kSmallScale = 0.85;
    std::function<void()> onClick_;
};

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), opener_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    DialogTemplate form(*this, QStringLiteral("About Levora"), 235, 55);
    auto* picture = new QLabel;
    form.Place(*picture, kIdApplicationIcon, {11, 10, 21, 20});
    const int side = std::min(picture->width(), picture->height());
    picture->setPixmap(ApplicationIcon().pixmap(QSize(side, side), devicePixelRatioF()));
    form.Static(QStringLiteral("Ostrel Levora"), {40, 10, 119, 8});
    form.Static(QStringLiteral("Version 2.0"), {40, 22, 119, 8});
    auto* link = new LinkLabel(QStringLiteral("www.ostrel.example"),
                               [this] { opener_(QUrl(QString::fromLatin1(kMakerSite))); });
    form.Place(*link, kIdWebLink, {40, 36, 119, 8});
    link->UseSmallFont();
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {178, 7, 50, 14});
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void RunAboutDialog() {
    AboutDialog dialog;
    RunModal(dialog);
}
