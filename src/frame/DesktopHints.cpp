#include "DesktopHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace DesktopHints {

namespace {

template <class Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool isViewable(xcb_connection_t* connection, xcb_window_t window)
{
    const XcbReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window),
                                        nullptr),
        &std::free);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Once a window is managed its state belongs to the window manager and is changed by asking
// it; before that, the window's own property is what the manager reads when it takes it on.
void changeState(xcb_connection_t* connection, xcb_window_t window, bool add,
                 const std::vector<xcb_atom_t>& states)
{
    const xcb_atom_t property = atom(connection, "_NET_WM_STATE");
    if (isViewable(connection, window)) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = property;
        message.data.data32[0] = add ? 1 : 0;
        message.data.data32[1] = states.at(0);
        message.data.data32[2] = states.size() > 1 ? states.at(1) : 0;
        message.data.data32[3] = 1; // from an application
        std::array<char, 32> bytes{};
        std::memcpy(bytes.data(), &message, sizeof message);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       bytes.data());
    } else {
        const XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(
                connection,
                xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr),
            &std::free);
        std::vector<xcb_atom_t> atoms;
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
            atoms.assign(data, data + reply->value_len);
        }
        for (xcb_atom_t state : states) {
            std::erase(atoms, state);
            if (add)
                atoms.push_back(state);
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                            atoms.size(), atoms.data());
    }
    xcb_flush(connection);
}

} // namespace

void keepOffTaskbar(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        return;
    changeState(connection, static_cast<xcb_window_t>(window->winId()), true,
                {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                 atom(connection, "_NET_WM_STATE_SKIP_PAGER")});
}

void setAbove(QWidget* window, bool above)
{
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        if (QWindow* handle = window->windowHandle())
            handle->setFlag(Qt::WindowStaysOnTopHint, above);
        return;
    }
    changeState(connection, static_cast<xcb_window_t>(window->winId()), above,
                {atom(connection, "_NET_WM_STATE_ABOVE")});
}

std::optional<QPoint> placedAt(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const XcbReply<xcb_translate_coordinates_reply_t> reply(
        xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr),
        &std::free);
    if (!reply || !isViewable(connection, id))
        return std::nullopt;
    return QPoint(reply->dst_x, reply->dst_y);
}

void flush()
{
    if (xcb_connection_t* connection = x11Connection())
        xcb_flush(connection);
}

} // namespace DesktopHints
