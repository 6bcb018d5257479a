#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The program's help: one tool window that shows the page of a help context, with links
// between the pages and Contents, Back and Forward.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    // The one help window, created on first use and deleted with the application.
    static HelpWindow& Instance();

    // Shows the page of `context` (the contents page for a context without a page) and brings
    // the window to the front.
    void ShowTopic(int context);

    QUrl currentPage() const;
    // The context of the page shown now, following the links the user took.
    int currentTopic() const;
    QTextBrowser& browser() const { return *browser_; }

private:
    HelpWindow();
    void UpdateTitle();

    QTextBrowser* browser_;
};

// The help request of a window or dialog: shows its topic in the help window.
void ShowHelpTopic(int context);

// F1 in `window` (or any of its children) shows the topic `context`.
void BindHelpKey(QWidget& window, int context);
