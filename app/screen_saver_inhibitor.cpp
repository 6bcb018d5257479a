#include "app/screen_saver_inhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(QObject* parent) : QObject(parent) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    wanted_ = false;
    Release();
}

void ScreenSaverInhibitor::SetActive(bool active) {
    if (wanted_ == active)
        return;
    wanted_ = active;
    if (active)
        Inhibit();
    else
        Release();
}

void ScreenSaverInhibitor::Inhibit() {
    if (pending_ || cookie_ != 0)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
    call << QStringLiteral("Ostrel Levora") << QStringLiteral("Level meters are watched");
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        QDBusPendingReply<uint32_t> reply = *w;
        w->deleteLater();
        pending_ = false;
        if (reply.isError())
            return;
        cookie_ = reply.value();
        // Unticked while the answer was on its way.
        if (!wanted_)
            Release();
    });
}

void ScreenSaverInhibitor::Release() {
    if (cookie_ == 0)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "UnInhibit");
    call << cookie_;
    cookie_ = 0;
    QDBusConnection::sessionBus().asyncCall(call);
}
