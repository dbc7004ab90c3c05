// What the host's event dispatch does with an error that escapes a handler:
// the text goes to the package's handler and the dispatch reports the event
// as not handled, so the event loop goes on.
#pragma once

#include <exception>
#include <utility>

// Runs `dispatch`; an exception it lets escape goes to `handler` with its
// text (null for an exception that carries none) and gives false.
template <typename Dispatch, typename Handler> bool DispatchGuarded(Dispatch&& dispatch, Handler&& handler) {
    try {
        return std::forward<Dispatch>(dispatch)();
    } catch (const std::exception& error) {
        handler(error.what());
    } catch (...) {
        handler(nullptr);
    }
    return false;
}
