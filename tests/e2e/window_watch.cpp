// Measures how long a change takes to reach the screen. It waits until some X windows have
// shown the same pixels for a while, starts a command (the change, for example a new signal on
// the driver) and then compares every rectangle the X server reports as drawn in a window
// (the DAMAGE extension) with what the window showed before, with no input events of its own.
// Prints a line per window: the delay in milliseconds until its pixels differed, or "none"
// when they did not in time. Exits 0 then, 2 on a usage or display error.
// With --rate it counts instead how often one window's picture changes on the screen: it
// picks the pixel column of the window that changed most often in a first half second and
// then reads that column every 10 ms for the given time, printing the changes per second
// (a benchmark's proof that the screen really refreshes while it measures).
//
//   levora-window-watch TIMEOUT-MS WINDOW-ID... -- COMMAND [ARGS...]
//   levora-window-watch --rate SECONDS WINDOW-ID

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuiet = std::chrono::milliseconds(400); // unchanged this long counts as steady
constexpr auto kSteadyWithin = std::chrono::seconds(15);
constexpr auto kReadEvery = std::chrono::milliseconds(40);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    bool Empty() const { return right <= left || bottom <= top; }
    Rect Intersect(const Rect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
};

// A window's pixels as the server has them, for the window's part on the screen (the server
// reads only what is on the screen).
struct Picture {
    Rect area; // in window coordinates
    int bytesPerPixel = 4;
    std::vector<uint8_t> pixels;
};

std::vector<uint8_t> ReadRect(xcb_connection_t* connection, xcb_window_t window, const Rect& r) {
    const auto cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(r.left),
                      static_cast<int16_t>(r.top), static_cast<uint16_t>(r.right - r.left),
                      static_cast<uint16_t>(r.bottom - r.top), ~0u);
    xcb_get_image_reply_t* image = xcb_get_image_reply(connection, cookie, nullptr);
    if (!image)
        return {};
    const uint8_t* data = xcb_get_image_data(image);
    std::vector<uint8_t> pixels(data, data + xcb_get_image_data_length(image));
    std::free(image);
    return pixels;
}

// Where the window is on the screen, in window coordinates; empty when it cannot be told.
Rect OnScreenArea(xcb_connection_t* connection, xcb_window_t window) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return {};
    const xcb_window_t root = geometry->root;
    const Rect whole{0, 0, geometry->width, geometry->height};
    std::free(geometry);
    xcb_get_geometry_reply_t* screen =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root), nullptr);
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr);
    Rect area;
    if (screen && origin)
        area = whole.Intersect({-origin->dst_x, -origin->dst_y, screen->width - origin->dst_x,
                                screen->height - origin->dst_y});
    std::free(screen);
    std::free(origin);
    return area;
}

Picture ReadWindow(xcb_connection_t* connection, xcb_window_t window) {
    Picture picture;
    picture.area = OnScreenArea(connection, window);
    if (!picture.area.Empty())
        picture.pixels = ReadRect(connection, window, picture.area);
    const size_t count = static_cast<size_t>(picture.area.right - picture.area.left) *
                         (picture.area.bottom - picture.area.top);
    if (count > 0)
        picture.bytesPerPixel = static_cast<int>(picture.pixels.size() / count);
    return picture;
}

// Whether the window's pixels in `r` differ from `before`.
bool Differs(xcb_connection_t* connection, xcb_window_t window, const Picture& before, Rect r) {
    r = r.Intersect(before.area);
    if (r.Empty())
        return false;
    const std::vector<uint8_t> now = ReadRect(connection, window, r);
    const size_t rowBytes = static_cast<size_t>(r.right - r.left) * before.bytesPerPixel;
    if (now.size() < rowBytes * (r.bottom - r.top))
        return false;
    const int stride = (before.area.right - before.area.left) * before.bytesPerPixel;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint8_t* old = before.pixels.data() +
                             static_cast<size_t>(y - before.area.top) * stride +
                             static_cast<size_t>(r.left - before.area.left) * before.bytesPerPixel;
        if (std::memcmp(old, now.data() + (y - r.top) * rowBytes, rowBytes) != 0)
            return true;
    }
    return false;
}

using Pictures = std::vector<Picture>;

Pictures ReadWindows(xcb_connection_t* connection, const std::vector<xcb_window_t>& windows) {
    Pictures pictures;
    for (xcb_window_t window : windows)
        pictures.push_back(ReadWindow(connection, window));
    return pictures;
}

// The column of the window's on-screen area whose pixels changed in the most of a few pictures
// taken a poll apart; -1 when none changed.
int LivelyColumn(xcb_connection_t* connection, xcb_window_t window) {
    constexpr int kPictures = 12;
    Picture before = ReadWindow(connection, window);
    const int width = before.area.right - before.area.left;
    const int height = before.area.bottom - before.area.top;
    if (before.pixels.empty() || width <= 0)
        return -1;
    std::vector<int> changes(static_cast<size_t>(width));
    for (int i = 0; i < kPictures; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
        Picture now = ReadWindow(connection, window);
        if (now.pixels.size() != before.pixels.size())
            continue; // a read that failed, or the window moved meanwhile
        const int bpp = before.bytesPerPixel;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y) {
                const size_t at = (static_cast<size_t>(y) * width + x) * bpp;
                if (std::memcmp(&now.pixels[at], &before.pixels[at], bpp) != 0) {
                    ++changes[static_cast<size_t>(x)];
                    break;
                }
            }
        before = std::move(now);
    }
    const auto most = std::max_element(changes.begin(), changes.end());
    return *most == 0 ? -1 : before.area.left + static_cast<int>(most - changes.begin());
}

int CountChanges(xcb_connection_t* connection, xcb_window_t window, double seconds) {
    constexpr auto kSampleEvery = std::chrono::milliseconds(10);
    const int x = LivelyColumn(connection, window);
    if (x < 0) {
        std::fprintf(stderr, "no column of window 0x%x changed\n", window);
        std::printf("0\n");
        return 0;
    }
    const Rect area = OnScreenArea(connection, window);
    const Rect column{x, area.top, x + 1, area.bottom};
    std::vector<uint8_t> last = ReadRect(connection, window, column);
    int changes = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    for (auto next = start + kSampleEvery; next < end; next += kSampleEvery) {
        std::this_thread::sleep_until(next);
        std::vector<uint8_t> now = ReadRect(connection, window, column);
        if (now != last) {
            ++changes;
            last = std::move(now);
        }
    }
    const std::chrono::duration<double> took = Clock::now() - start;
    std::printf("%.1f\n", changes / took.count());
    return 0;
}

bool Same(const Pictures& a, const Pictures& b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].pixels != b[i].pixels)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--rate") == 0) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            std::fprintf(stderr, "cannot open the display\n");
            return 2;
        }
        const int status =
            CountChanges(connection, static_cast<xcb_window_t>(std::strtoul(argv[3], nullptr, 0)),
                         std::atof(argv[2]));
        xcb_disconnect(connection);
        return status;
    }
    int separator = 2;
    while (separator < argc && std::strcmp(argv[separator], "--") != 0)
        ++separator;
    if (separator < 3 || separator + 1 >= argc) {
        std::fprintf(stderr, "usage: %s TIMEOUT-MS WINDOW-ID... -- COMMAND [ARGS...]\n", argv[0]);
        return 2;
    }
    const auto timeout = std::chrono::milliseconds(std::atoi(argv[1]));
    std::vector<xcb_window_t> windows;
    for (int i = 2; i < separator; ++i)
        windows.push_back(static_cast<xcb_window_t>(std::strtoul(argv[i], nullptr, 0)));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "the server has no DAMAGE extension\n");
        return 2;
    }
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1),
                                             nullptr));
    // Reported from now on, so that nothing drawn after the last steady picture is missed.
    for (xcb_window_t window : windows)
        xcb_damage_create(connection, xcb_generate_id(connection), window,
                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);

    Pictures before = ReadWindows(connection, windows);
    auto quietSince = Clock::now();
    const auto giveUp = Clock::now() + kSteadyWithin;
    while (Clock::now() - quietSince < kQuiet) {
        for (size_t i = 0; i < windows.size(); ++i)
            if (before[i].pixels.empty()) {
                std::fprintf(stderr, "window 0x%x cannot be read\n", windows[i]);
                return 2;
            }
        if (Clock::now() > giveUp) {
            std::fprintf(stderr, "the windows never stand still\n");
            return 2;
        }
        std::this_thread::sleep_for(kReadEvery);
        Pictures now = ReadWindows(connection, windows);
        if (!Same(now, before)) {
            before = std::move(now);
            quietSince = Clock::now();
        }
    }
    // What was drawn while the windows stood still changed nothing.
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        std::free(event);

    const auto start = Clock::now();
    pid_t child = 0;
    char** command = argv + separator + 1;
    if (posix_spawnp(&child, command[0], nullptr, nullptr, command, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", command[0]);
        return 2;
    }
    const uint8_t damageNotify = damage->first_event + XCB_DAMAGE_NOTIFY;
    std::vector<std::string> delays(windows.size(), "none");
    size_t waiting = windows.size();
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (waiting > 0 && Clock::now() - start < timeout) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (!event) {
            poll(&descriptor, 1, 10);
            continue;
        }
        if ((event->response_type & 0x7f) == damageNotify) {
            const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            const auto it = std::find(windows.begin(), windows.end(), notify->drawable);
            const auto i = static_cast<size_t>(it - windows.begin());
            const Rect drawn{notify->area.x, notify->area.y, notify->area.x + notify->area.width,
                             notify->area.y + notify->area.height};
            if (it != windows.end() && delays[i] == "none" &&
                Differs(connection, windows[i], before[i], drawn)) {
                const std::chrono::duration<double, std::milli> delay = Clock::now() - start;
                delays[i] = std::to_string(static_cast<int>(delay.count() + 0.5));
                --waiting;
            }
        }
        std::free(event);
    }
    int status = 0;
    waitpid(child, &status, 0);
    for (const std::string& delay : delays)
        std::printf("%s\n", delay.c_str());
    xcb_disconnect(connection);
    return 0;
}
