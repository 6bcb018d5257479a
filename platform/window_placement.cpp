#include "platform/window_placement.h"

#include <QGuiApplication>

bool CompositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
