#include "platform/wayland_push.h"

#include "platform/pixel_memory.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

// The compositor's interfaces this needs, bound once on an event queue of our own so that
// their events never mix with Qt's.
struct Globals {
    wl_display* display = nullptr;
    wl_event_queue* queue = nullptr;
    wl_compositor* compositor = nullptr;
    wl_subcompositor* subcompositor = nullptr;
    wl_shm* shm = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    auto* g = static_cast<Globals*>(data);
    // Version 4 of the compositor's surfaces takes damage in buffer pixels.
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= 4)
        g->compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0)
        g->subcompositor = static_cast<wl_subcompositor*>(
            wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        g->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// Null where the program does not run on Wayland, where the compositor lacks one of them,
// or where LEVORA_PLAIN_WAYLAND asks to leave the drawing to Qt.
const Globals* WaylandGlobals() {
    static const Globals* globals = []() -> const Globals* {
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
            qEnvironmentVariableIntValue("LEVORA_PLAIN_WAYLAND") != 0)
            return nullptr;
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        auto* display =
            static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
        if (!display)
            return nullptr;
        static Globals g;
        g.display = display;
        g.queue = wl_display_create_queue(display);
        auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), g.queue);
        wl_registry* registry = wl_display_get_registry(wrapper);
        wl_proxy_wrapper_destroy(wrapper);
        wl_registry_add_listener(registry, &kRegistryListener, &g);
        wl_display_roundtrip_queue(display, g.queue);
        wl_registry_destroy(registry);
        return g.compositor && g.subcompositor && g.shm ? &g : nullptr;
    }();
    return globals;
}

void OnRelease(void* data, wl_buffer*) {
    *static_cast<bool*>(data) = false;
}

const wl_buffer_listener kBufferListener = {OnRelease};

// Past this many rectangles a buffer is brought up to date as a whole.
constexpr size_t kMaxBehind = 512;

} // namespace

WaylandPush::WaylandPush(QWidget* widget) : widget_(widget) {
    if (!WaylandGlobals())
        return;
    widget_->installEventFilter(this);
    pending_.reserve(kMaxBehind);
    for (Buffer& buffer : buffers_)
        buffer.behind.reserve(kMaxBehind);
    // Nested loops (modal dialogs) share the dispatcher.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &WaylandPush::Send);
}

WaylandPush::~WaylandPush() {
    DropSurface();
}

bool WaylandPush::Push(const QImage& image, std::span<const QRect> rects) {
    if (failed_ || !WaylandGlobals() || !widget_->isVisible() ||
        image.format() != QImage::Format_RGB32 ||
        widget_->devicePixelRatioF() != std::round(widget_->devicePixelRatioF()))
        return false;
    image_ = &image;
    for (const QRect& rect : rects) {
        if (rect.isEmpty())
            continue;
        if (pending_.size() == kMaxBehind)
            pending_.assign(1, image.rect());
        pending_.push_back(rect);
        for (Buffer& buffer : buffers_) {
            if (buffer.stale)
                continue;
            if (buffer.behind.size() == kMaxBehind) {
                buffer.stale = true;
                buffer.behind.clear();
                continue;
            }
            buffer.behind.push_back(rect);
        }
    }
    return true;
}

bool WaylandPush::eventFilter(QObject*, QEvent* event) {
    // A hidden widget (a hidden window hides it too) must not leave its surface over whatever
    // takes its place; the window's surface goes when the window is hidden or its native
    // window is made anew.
    const QEvent::Type type = event->type();
    if (type == QEvent::Hide || type == QEvent::PlatformSurface)
        DropSurface();
    return false;
}

bool WaylandPush::Ready() {
    QWindow* window = widget_->window()->windowHandle();
    if (!window || !widget_->isVisible())
        return false;
    if (!parent_) {
        static const QByteArray kSurface("surface");
        auto* parent = static_cast<wl_surface*>(
            QGuiApplication::platformNativeInterface()->nativeResourceForWindow(kSurface, window));
        if (!parent || !MakeSurface(parent))
            return false;
        if (watchedWindow_ != window) {
            window->installEventFilter(this);
            watchedWindow_ = window;
        }
    }
    // The part of the widget its parents show: the surface is not clipped to the window.
    QRect shown = widget_->rect();
    QPoint offset;
    for (const QWidget* w = widget_; !w->isWindow(); w = w->parentWidget()) {
        offset += w->pos();
        shown &= QRect(-offset, w->parentWidget()->size());
    }
    if (shown.isEmpty())
        return false;
    // The window's surface includes its decoration.
    const QMargins frame = window->frameMargins();
    const QPoint position = offset + shown.topLeft() + QPoint(frame.left(), frame.top());
    if (position != position_) {
        position_ = position;
        wl_subsurface_set_position(subsurface_, position.x(), position.y());
        // A new surface and its position count from the window's next commit: a repaint of
        // one pixel brings one.
        widget_->update(0, 0, 1, 1);
    }
    const int scale = static_cast<int>(std::lround(widget_->devicePixelRatioF()));
    if ((scale != scale_ || shown != shown_) && !MakeBuffers(shown, scale)) {
        // Out of memory for buffers, say: Qt draws from now on.
        failed_ = true;
        DropSurface();
        widget_->update();
        return false;
    }
    return true;
}

bool WaylandPush::MakeSurface(wl_surface* parent) {
    DropSurface();
    const Globals* g = WaylandGlobals();
    surface_ = wl_compositor_create_surface(g->compositor);
    subsurface_ = wl_subcompositor_get_subsurface(g->subcompositor, surface_, parent);
    if (!surface_ || !subsurface_) {
        DropSurface();
        return false;
    }
    parent_ = parent;
    // Shown as soon as committed, without waiting for the window's next commit.
    wl_subsurface_set_desync(subsurface_);
    wl_region* none = wl_compositor_create_region(g->compositor);
    wl_surface_set_input_region(surface_, none);
    wl_region_destroy(none);
    position_ = QPoint(-1, -1);
    return true;
}

void WaylandPush::DropSurface() {
    DropBuffers();
    if (subsurface_)
        wl_subsurface_destroy(subsurface_);
    if (surface_)
        wl_surface_destroy(surface_);
    subsurface_ = nullptr;
    surface_ = nullptr;
    parent_ = nullptr;
    if (const Globals* g = WaylandGlobals())
        wl_display_flush(g->display);
}

bool WaylandPush::MakeBuffers(const QRect& shown, int scale) {
    DropBuffers();
    const Globals* g = WaylandGlobals();
    const int width = shown.width() * scale;
    const int height = shown.height() * scale;
    stride_ = width * 4;
    const size_t bytes = static_cast<size_t>(stride_) * height;
    poolBytes_ = bytes * buffers_.size();
    const SharedPixels shared = MapSharedPixels("levora-wayland", poolBytes_);
    if (!shared.pixels)
        return false;
    pool_ = shared.pixels;
    // The pool keeps a descriptor of its own.
    wl_shm_pool* shmPool = wl_shm_create_pool(g->shm, shared.fd, static_cast<int32_t>(poolBytes_));
    close(shared.fd);
    for (size_t i = 0; i < buffers_.size(); ++i) {
        Buffer& buffer = buffers_[i];
        buffer.buffer = wl_shm_pool_create_buffer(shmPool, static_cast<int32_t>(i * bytes), width,
                                                  height, stride_, WL_SHM_FORMAT_XRGB8888);
        buffer.pixels = pool_ + i * bytes;
        wl_buffer_add_listener(buffer.buffer, &kBufferListener, &buffer.busy);
    }
    wl_shm_pool_destroy(shmPool);
    scale_ = scale;
    shown_ = shown;
    damageAll_ = true;
    wl_surface_set_buffer_scale(surface_, scale);
    // Opaque: the compositor need not draw the window below it.
    wl_region* opaque = wl_compositor_create_region(g->compositor);
    wl_region_add(opaque, 0, 0, shown.width(), shown.height());
    wl_surface_set_opaque_region(surface_, opaque);
    wl_region_destroy(opaque);
    return true;
}

void WaylandPush::DropBuffers() {
    for (Buffer& buffer : buffers_) {
        if (buffer.buffer)
            wl_buffer_destroy(buffer.buffer);
        buffer.buffer = nullptr;
        buffer.pixels = nullptr;
        buffer.busy = false;
        buffer.stale = true;
        buffer.behind.clear();
    }
    if (pool_)
        munmap(pool_, poolBytes_);
    pool_ = nullptr;
    shown_ = QRect();
}

void WaylandPush::Send() {
    if (pending_.empty())
        return;
    const Globals* g = WaylandGlobals();
    // The compositor's releases of our buffers, read from the socket along with Qt's events.
    wl_display_dispatch_queue_pending(g->display, g->queue);
    if (!image_ || !Ready() || !image_->rect().contains(shown_)) {
        // Hidden, or resized and not yet repainted: the paint event shows it all again.
        pending_.clear();
        return;
    }
    if (damageAll_) {
        pending_.assign(1, shown_);
        damageAll_ = false;
    }
    auto free = std::find_if(buffers_.begin(), buffers_.end(),
                             [](const Buffer& buffer) { return !buffer.busy; });
    if (free == buffers_.end())
        return; // tried again when the compositor lets one go
    Buffer& buffer = *free;
    if (buffer.stale)
        CopyRect(buffer, shown_);
    for (const QRect& rect : buffer.behind)
        CopyRect(buffer, rect);
    buffer.stale = false;
    buffer.behind.clear();
    wl_surface_attach(surface_, buffer.buffer, 0, 0);
    for (const QRect& pushed : pending_) {
        const QRect rect = (pushed & shown_).translated(-shown_.topLeft());
        wl_surface_damage_buffer(surface_, rect.x() * scale_, rect.y() * scale_,
                                 rect.width() * scale_, rect.height() * scale_);
    }
    wl_surface_commit(surface_);
    buffer.busy = true;
    pending_.clear();
    wl_display_flush(g->display);
}

void WaylandPush::CopyRect(Buffer& buffer, const QRect& pushed) const {
    const QRect rect = pushed & shown_;
    if (rect.isEmpty())
        return;
    const int s = scale_;
    const size_t rowBytes = static_cast<size_t>(rect.width()) * s * 4;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto* from =
            reinterpret_cast<const uint32_t*>(image_->constScanLine(y)) + rect.left();
        uchar* first = buffer.pixels + static_cast<size_t>(y - shown_.top()) * s * stride_ +
                       static_cast<size_t>(rect.left() - shown_.left()) * s * 4;
        if (s == 1) {
            std::memcpy(first, from, rowBytes);
            continue;
        }
        // Each pixel as an s-by-s block, as Qt scales an image onto a finer screen.
        auto* to = reinterpret_cast<uint32_t*>(first);
        for (int x = 0; x < rect.width(); ++x)
            std::fill_n(to + x * s, s, from[x]);
        for (int k = 1; k < s; ++k)
            std::memcpy(first + static_cast<size_t>(k) * stride_, first, rowBytes);
    }
}
