#include "dialogs/help_window.h"

#include "app/command_ids.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {

HelpWindow* theWindow = nullptr;

// Top-level widgets outlive nothing on their own; this one goes before the application does.
void DeleteHelpWindow() {
    delete theWindow;
    theWindow = nullptr;
}

QString PagePath(int context) {
    return QStringLiteral(":/help/%1.html").arg(context);
}

QUrl PageUrl(int context) {
    return QUrl(QStringLiteral("qrc") + PagePath(context));
}

} // namespace

HelpWindow& HelpWindow::Instance() {
    if (!theWindow) {
        // The pages live in a static library, whose resources nothing else would pull in.
        Q_INIT_RESOURCE(help);
        theWindow = new HelpWindow;
        qAddPostRoutine(DeleteHelpWindow);
    }
    return *theWindow;
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Tool), browser_(new QTextBrowser) {
    auto* toolBar = new QToolBar;
    QAction* contents = toolBar->addAction(tr("Contents"));
    QAction* back = toolBar->addAction(tr("Back"));
    QAction* forward = toolBar->addAction(tr("Forward"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, this, [this] { ShowTopic(help::kContents); });
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::UpdateTitle);
    browser_->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(browser_);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(680, 640);
}

void HelpWindow::ShowTopic(int context) {
    if (!QFile::exists(PagePath(context)))
        context = help::kContents;
    browser_->setSource(PageUrl(context));
    show();
    // A modal dialog blocks every window that is not its own; as the transient of the dialog
    // that asked for it, the help can still be scrolled and followed while the dialog runs.
    QWidget* modal = QApplication::activeModalWidget();
    windowHandle()->setTransientParent(modal && modal != this ? modal->windowHandle() : nullptr);
    raise();
    activateWindow();
}

QUrl HelpWindow::currentPage() const {
    return browser_->source();
}

int HelpWindow::currentTopic() const {
    bool ok = false;
    const int context = currentPage().fileName().section(QLatin1Char('.'), 0, 0).toInt(&ok);
    return ok ? context : help::kContents;
}

void HelpWindow::UpdateTitle() {
    const QString page = browser_->documentTitle();
    setWindowTitle(page.isEmpty() ? tr("Levora Help") : tr("Levora Help - %1").arg(page));
}

void ShowHelpTopic(int context) {
    HelpWindow::Instance().ShowTopic(context);
}

void BindHelpKey(QWidget& window, int context) {
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), &window), &QShortcut::activated,
                     &window, [context] { ShowHelpTopic(context); });
}
