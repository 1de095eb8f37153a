#include "DesktopHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace DesktopHints {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t rootOf(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// A mapped window's state belongs to the window manager and is changed by asking it.
void askWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t state,
                      xcb_atom_t first, xcb_atom_t second)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = state;
    message.data.data32[0] = 1; // add
    message.data.data32[1] = first;
    message.data.data32[2] = second;
    message.data.data32[3] = 1; // from an application
    std::array<char, 32> bytes{};
    std::memcpy(bytes.data(), &message, sizeof message);
    xcb_send_event(connection, 0, rootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   bytes.data());
}

} // namespace

void keepOffTaskbar(QWidget* window)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        return;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const std::array<xcb_atom_t, 2> skip = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                            atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (window->windowHandle() != nullptr && window->windowHandle()->isExposed())
        askWindowManager(connection, id, state, skip[0], skip[1]);
    else
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32,
                            skip.size(), skip.data());
    xcb_flush(connection);
}

} // namespace DesktopHints
