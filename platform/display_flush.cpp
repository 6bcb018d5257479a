#include "platform/display_flush.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

void FlushDisplayBeforeEachWait() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!x11 || !dispatcher)
        return;
    // Nested loops (modal dialogs) share the dispatcher; a flush of an empty buffer is free.
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qGuiApp,
                     [connection = x11->connection()] { xcb_flush(connection); });
}
