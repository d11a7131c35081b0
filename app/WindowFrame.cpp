#include "app/WindowFrame.h"

#include <QWidget>

namespace {

QMargins frameAsQtSeesIt(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    const qreal ratio = window.devicePixelRatioF();
    const auto device = [ratio](int logical) { return qRound(logical * ratio); };
    return {device(client.left() - outer.left()), device(client.top() - outer.top()),
            device(outer.right() - client.right()), device(outer.bottom() - client.bottom())};
}

} // namespace

QSize clientSizeWithin(QSize outer, QMargins frame, qreal ratio) {
    const auto logical = [ratio](qreal outerLogical, int frameDevice) {
        return qRound((qRound(outerLogical * ratio) - frameDevice) / ratio);
    };
    return {logical(outer.width(), frame.left() + frame.right()),
            logical(outer.height(), frame.top() + frame.bottom())};
}

#ifdef _WIN32
#include <windows.h>

#include <dwmapi.h>

QMargins drawnFrame(const QWidget& window) {
    const auto handle = reinterpret_cast<HWND>(window.winId());
    RECT outer{};
    RECT client{};
    POINT origin{};
    // The bounds the desktop draws, without the invisible margin; without a compositor, the
    // window's rectangle is what it draws.
    if (FAILED(
            ::DwmGetWindowAttribute(handle, DWMWA_EXTENDED_FRAME_BOUNDS, &outer, sizeof outer)) &&
        !::GetWindowRect(handle, &outer))
        return frameAsQtSeesIt(window);
    ::GetClientRect(handle, &client);
    ::ClientToScreen(handle, &origin);
    return {int(origin.x - outer.left), int(origin.y - outer.top),
            int(outer.right - origin.x - client.right),
            int(outer.bottom - origin.y - client.bottom)};
}
#elif defined(RAVIK_WITH_XCB)
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <memory>

namespace {

// The window manager's frame as it states it on the window: left, right, top, bottom.
bool frameExtents(xcb_connection_t* x, xcb_window_t window, QMargins& frame) {
    static constexpr char name[] = "_NET_FRAME_EXTENTS";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 1, sizeof name - 1, name), nullptr), &free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> extents(
        xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 4), nullptr),
        &free);
    if (!extents || extents->format != 32 || xcb_get_property_value_length(extents.get()) != 16)
        return false;
    const auto* sides = static_cast<const uint32_t*>(xcb_get_property_value(extents.get()));
    frame = QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
    return true;
}

} // namespace

QMargins drawnFrame(const QWidget& window) {
    // Qt answers for X11 on other platforms too (offscreen, Wayland), without a connection.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    QMargins frame;
    if (connection && frameExtents(connection, xcb_window_t(window.winId()), frame)) return frame;
    return frameAsQtSeesIt(window);
}
#else
QMargins drawnFrame(const QWidget& window) {
    return frameAsQtSeesIt(window);
}
#endif
