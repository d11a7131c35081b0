#include "app/WindowFrame.h"

#include <QWidget>

namespace {

QMargins frameAsQtSeesIt(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - outer.left(), client.top() - outer.top(),
            outer.right() - client.right(), outer.bottom() - client.bottom()};
}

} // namespace

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
    const qreal ratio = window.devicePixelRatioF();
    const auto logical = [ratio](long pixels) { return qRound(pixels / ratio); };
    return {logical(origin.x - outer.left), logical(origin.y - outer.top),
            logical(outer.right - origin.x - client.right),
            logical(outer.bottom - origin.y - client.bottom)};
}
#else
QMargins drawnFrame(const QWidget& window) {
    return frameAsQtSeesIt(window);
}
#endif
