#include "platform/screen_visibility.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

uint64_t stackingGeneration = 0;

// Counts the roots' reports about their children and keeps from Qt those it did not ask for
// (it would take a child's ConfigureNotify for a change of the screens).
class StackingFilter : public QAbstractNativeEventFilter {
public:
    void Watch(uint32_t root, bool qtWantsThem) { roots_.push_back({root, qtWantsThem}); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
        case XCB_CONFIGURE_NOTIFY:
        case XCB_MAP_NOTIFY:
        case XCB_UNMAP_NOTIFY:
        case XCB_REPARENT_NOTIFY:
        case XCB_CIRCULATE_NOTIFY:
        case XCB_DESTROY_NOTIFY:
        case XCB_GRAVITY_NOTIFY:
            break;
        default:
            return false;
        }
        // These share their first fields: the window told and the window that changed.
        const auto* notify = static_cast<const xcb_map_notify_event_t*>(message);
        for (const Root& root : roots_)
            if (notify->event == root.window && notify->window != root.window) {
                ++stackingGeneration;
                return !root.qtWantsThem;
            }
        return false;
    }

private:
    struct Root {
        uint32_t window;
        bool qtWantsThem;
    };
    std::vector<Root> roots_;
};

xcb_screen_t* ScreenOf(xcb_connection_t* connection, uint32_t root, int* number) {
    int n = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it), ++n)
        if (it.data->root == root) {
            *number = n;
            return it.data;
        }
    return nullptr;
}

// Whether a compositing manager runs on the screen: it keeps every window's pixels, covered
// or not, and shows them again without asking.
bool Composited(xcb_connection_t* connection, int screenNumber) {
    static std::vector<xcb_atom_t> atoms;
    if (atoms.size() <= static_cast<size_t>(screenNumber))
        atoms.resize(static_cast<size_t>(screenNumber) + 1, XCB_ATOM_NONE);
    xcb_atom_t& atom = atoms[static_cast<size_t>(screenNumber)];
    if (atom == XCB_ATOM_NONE) {
        const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
        auto reply = Own(xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()),
            nullptr));
        if (!reply)
            return true;
        atom = reply->atom;
    }
    auto owner = Own(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom), nullptr));
    return !owner || owner->owner != XCB_WINDOW_NONE;
}

QRect OuterRect(const xcb_get_geometry_reply_t& g) {
    return {g.x, g.y, g.width + 2 * g.border_width, g.height + 2 * g.border_width};
}

} // namespace

QRegion UncoveredPart(const QRect& windowOnRoot, const QRect& screen,
                      std::span<const QRect> above) {
    QRegion uncovered(windowOnRoot & screen);
    for (const QRect& rect : above)
        uncovered -= rect;
    return uncovered.translated(-windowOnRoot.topLeft());
}

QRegion ReadVisibleRegion(xcb_connection_t* connection, uint32_t window) {
    auto attributes = Own(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    auto geometry =
        Own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return {};
    const QRect whole(0, 0, geometry->width, geometry->height);
    const uint32_t root = geometry->root;
    int screenNumber = 0;
    const xcb_screen_t* screen = ScreenOf(connection, root, &screenNumber);
    if (!screen || Composited(connection, screenNumber))
        return whole;
    // The top-level ancestor: the child of the root that holds the window.
    uint32_t topLevel = window;
    for (;;) {
        auto tree =
            Own(xcb_query_tree_reply(connection, xcb_query_tree(connection, topLevel), nullptr));
        if (!tree)
            return whole;
        if (tree->parent == root)
            break;
        topLevel = tree->parent;
    }
    auto origin = Own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr));
    auto stack = Own(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!origin || !stack)
        return whole;
    // Bottom to top: what lies above the top-level ancestor.
    const xcb_window_t* children = xcb_query_tree_children(stack.get());
    const int count = xcb_query_tree_children_length(stack.get());
    int first = 0;
    while (first < count && children[first] != topLevel)
        ++first;
    struct Above {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_shape_query_extents_cookie_t shape;
    };
    const xcb_query_extension_reply_t* shapeExtension =
        xcb_get_extension_data(connection, &xcb_shape_id);
    const bool shapes = shapeExtension && shapeExtension->present;
    std::vector<Above> cookies;
    for (int i = first + 1; i < count; ++i)
        cookies.push_back({xcb_get_window_attributes(connection, children[i]),
                           xcb_get_geometry(connection, children[i]),
                           shapes ? xcb_shape_query_extents(connection, children[i])
                                  : xcb_shape_query_extents_cookie_t{}});
    std::vector<QRect> covering;
    for (const Above& above : cookies) {
        auto a = Own(xcb_get_window_attributes_reply(connection, above.attributes, nullptr));
        auto g = Own(xcb_get_geometry_reply(connection, above.geometry, nullptr));
        auto s =
            Own(shapes ? xcb_shape_query_extents_reply(connection, above.shape, nullptr) : nullptr);
        if (a && g && a->map_state == XCB_MAP_STATE_VIEWABLE &&
            a->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT && !(s && s->bounding_shaped))
            covering.push_back(OuterRect(*g));
    }
    const QRect onRoot(origin->dst_x, origin->dst_y, whole.width(), whole.height());
    return UncoveredPart(onRoot, QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels),
                         covering);
}

void WatchScreenStacking(xcb_connection_t* connection) {
    static StackingFilter filter;
    static bool watching = false;
    if (watching || !QCoreApplication::instance())
        return;
    watching = true;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it)) {
        const uint32_t root = it.data->root;
        auto attributes = Own(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, root), nullptr));
        const uint32_t mask = attributes ? attributes->your_event_mask : 0;
        filter.Watch(root, mask & XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        const uint32_t wanted = mask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &wanted);
    }
    QCoreApplication::instance()->installNativeEventFilter(&filter);
}

uint64_t ScreenStackingGeneration() {
    return stackingGeneration;
}
