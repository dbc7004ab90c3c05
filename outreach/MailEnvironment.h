// What the mail windows take from the rest of the program: the version text,
// the folders and the main window (for the screenshot), which the main window
// hands over when it has them, and the way messages reach the user, which
// tests replace so that no modal box blocks them.
#pragma once

#include <QString>

#include <functional>

class QWidget;

struct TMailEnvironment {
    QString VersionProgram; // "Версия: ..."
    QString TempPath;       // per-user folder for "screen.jpg", with its closing "/"
    QString AppDataPath;    // the all-users application data folder
    QWidget* MainWindow = nullptr;
};

// Until the main window sets them, the values follow the foundation's folders
// and the package file's version, exactly as the main window computes them.
const TMailEnvironment& MailEnvironment();
void SetMailEnvironment(const TMailEnvironment& environment);

enum class TMessageIcon { None, Error, Information };

struct TMessageRequest {
    QWidget* Parent = nullptr;
    TMessageIcon Icon = TMessageIcon::None;
    QString Caption;
    QString Text;
};

using TMessageHandler = std::function<void(const TMessageRequest&)>;

// Shows a message modally (one OK button); a handler set here receives it instead.
void ShowMailMessage(const TMessageRequest& request);
void SetMailMessageHandler(TMessageHandler handler);
// The program's title, the caption of the outcome messages.
QString ApplicationTitle();
