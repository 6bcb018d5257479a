#include "platform/pixel_staging.h"

#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

// Pixels put through the shared ring reach a window of a private X server as they were when
// put, however often the ring goes round before the server reads them.
namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 700;

class PrivateDisplay {
public:
    PrivateDisplay() {
        for (display_ = 150; display_ < 200; ++display_)
            if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(display_)) &&
                !std::filesystem::exists("/tmp/.X" + std::to_string(display_) + "-lock"))
                break;
        const std::string name = ":" + std::to_string(display_);
        server_ = fork();
        if (server_ == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display_);
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        connection_ = xcb_connect(name.c_str(), nullptr);
    }
    ~PrivateDisplay() {
        if (connection_)
            xcb_disconnect(connection_);
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    bool Up() const { return connection_ && !xcb_connection_has_error(connection_); }
    xcb_connection_t* Connection() const { return connection_; }

private:
    int display_ = 0;
    pid_t server_ = -1;
    xcb_connection_t* connection_ = nullptr;
};

class PixelStagingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_.Up()) << "Xvfb did not start";
        c_ = display_.Connection();
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        window_ = xcb_generate_id(c_);
        const uint32_t values[] = {screen->black_pixel};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, kWidth, kHeight, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                          values);
        xcb_map_window(c_, window_);
        gc_ = xcb_generate_id(c_);
        xcb_create_gc(c_, gc_, window_, 0, nullptr);
        depth_ = screen->root_depth;
        Sync();
    }

    void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    // The window's pixels, as the server holds them.
    QImage Shown() {
        Sync();
        QImage shown(kWidth, kHeight, QImage::Format_RGB32);
        for (int top = 0; top < kHeight; top += 100) {
            xcb_get_image_reply_t* reply =
                xcb_get_image_reply(c_,
                                    xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, 0,
                                                  static_cast<int16_t>(top), kWidth, 100, ~0u),
                                    nullptr);
            if (!reply)
                return {};
            const uint8_t* data = xcb_get_image_data(reply);
            for (int r = 0; r < 100; ++r) {
                auto* row = reinterpret_cast<uint32_t*>(shown.scanLine(top + r));
                for (int x = 0; x < kWidth; ++x)
                    row[x] = 0xff000000 | reinterpret_cast<const uint32_t*>(data)[r * kWidth + x];
            }
            std::free(reply);
        }
        return shown;
    }

    static QImage Pattern(uint32_t seed) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        for (int y = 0; y < kHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
            for (int x = 0; x < kWidth; ++x)
                row[x] = 0xff000000 | ((x * 2654435761u + y * 40503u + seed) & 0xffffff);
        }
        return image;
    }

    PrivateDisplay display_;
    xcb_connection_t* c_ = nullptr;
    uint32_t window_ = 0;
    uint32_t gc_ = 0;
    uint8_t depth_ = 0;
};

TEST_F(PixelStagingTest, AWholeWindowLargerThanTheRingArrivesWhole) {
    // A 512 KiB ring: the window's 2.4 MiB go round it nearly five times before any flush.
    PixelStaging staging(c_, size_t{512} << 10);
    ASSERT_TRUE(staging.Valid());
    const QImage image = Pattern(7);
    staging.Put(image, image.rect(), window_, gc_, depth_);
    EXPECT_EQ(Shown(), image);
}

TEST_F(PixelStagingTest, RectanglesShowThePixelsOfTheirPutNotLaterOnes) {
    PixelStaging staging(c_, size_t{512} << 10);
    ASSERT_TRUE(staging.Valid());
    QImage expected(kWidth, kHeight, QImage::Format_RGB32);
    expected.fill(0xff000000); // the window's background
    // Bars: narrow, tall rectangles of an image that changes poll after poll, many times
    // round the ring before anything is flushed.
    for (int poll = 0; poll < 60; ++poll) {
        QImage image = Pattern(static_cast<uint32_t>(poll) * 977);
        for (int bar = 0; bar < 30; ++bar) {
            const QRect rect(bar * 30 + poll % 7, (poll * 13 + bar * 31) % (kHeight - 250), 24,
                             250);
            staging.Put(image, rect, window_, gc_, depth_);
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                std::memcpy(expected.scanLine(y) + rect.left() * 4,
                            image.constScanLine(y) + rect.left() * 4, rect.width() * 4);
        }
        // Drawing goes on after the puts; the server must not see it.
        image.fill(0xff00ff00);
    }
    EXPECT_EQ(Shown(), expected);
}

TEST_F(PixelStagingTest, ARingTooSmallForARowIsRefused) {
    EXPECT_FALSE(PixelStaging(c_, size_t{64} << 10).Valid());
}

} // namespace
