#pragma once

#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

// Shows a window and waits until it is the active one, so that its shortcuts (F1) work.
inline ::testing::AssertionResult ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return ::testing::AssertionFailure() << "window never became active";
    return ::testing::AssertionSuccess();
}

inline void ClickButton(const QWidget& dialog, int id) {
    QAbstractButton* button = FindControl<QAbstractButton>(dialog, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void ClickItem(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
}

// What a person's double click delivers: a click, then the double click and its release.
inline void DoubleClickItem(QListWidget& list, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
}

inline QStringList Lines(const QListWidget& list) {
    QStringList lines;
    for (int row = 0; row < list.count(); ++row)
        lines << list.item(row)->text();
    return lines;
}

// Whether the help window came up showing the page of `context`.
inline bool HelpShows(int context) {
    return QTest::qWaitFor([context] {
        return HelpWindow::Instance().isVisible() &&
               HelpWindow::Instance().currentTopic() == context;
    });
}

// Hidden, the help window shows again only when something asks for a topic.
inline void HideHelp() {
    HelpWindow::Instance().hide();
}
