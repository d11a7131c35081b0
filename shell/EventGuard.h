#pragma once

#include <QString>

#include <exception>
#include <utility>

// Every event handler runs under this guard: an error ends the handler, the error box
// reports it, and the event loop goes on. No exception may cross Qt's event dispatch.
namespace EventGuard {

// The error box's text: a full stop is added when the message is not empty and its last
// character's code lies above the full stop's.
QString errorBoxText(const QString& message);

void report(const std::exception& error);
void reportUnknown();

template <typename Handler> void run(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        reportUnknown();
    }
}

} // namespace EventGuard
