#pragma once

#include <QObject>
#include <cstdint>

// Keeps the desktop's screen saver and display power-down away while active, through the
// session bus. Where no such service answers nothing happens, and nothing ever blocks.
class ScreenSaverInhibitor : public QObject {
    Q_OBJECT

public:
    explicit ScreenSaverInhibitor(QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;

    void SetActive(bool active);
    bool IsActive() const { return wanted_; }
    // The cookie of a granted inhibition, 0 while none is held.
    uint32_t Cookie() const { return cookie_; }

private:
    void Inhibit();
    void Release();

    bool wanted_ = false;
    bool pending_ = false;
    uint32_t cookie_ = 0;
};
