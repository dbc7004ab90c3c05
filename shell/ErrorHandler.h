// The application-wide error handler: every error that escapes an event
// handler ends here. The host catches it in its event dispatch and passes
// the text on through VarindelHandleException; the program goes on.
#pragma once

#include <QString>
#include <functional>

// Replaces the handler; an empty function restores the default, which shows
// the text in a message box titled "Вариндел".
void SetExceptionHandler(std::function<void(const QString&)> handler);
void HandleError(const QString& text);

// The text the user sees for an error that is not one of the program's own.
inline constexpr const char* kUnknownErrorText = "Неизвестная ошибка.";

extern "C" {
// Resolved by the host; `text` is UTF-8, null for an error without a text.
__attribute__((visibility("default"))) void VarindelHandleException(const char* text);
}

inline constexpr const char* kHandleExceptionSymbol = "VarindelHandleException";
