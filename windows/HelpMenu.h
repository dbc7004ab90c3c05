// The help menu under the main window's "Помощь" button: the price list, the
// help and licence documents, the partners, the settings and the about window.
// The main window owns one and hands it what lies in its own layer.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class MapEngine;
class QAction;
class QMenu;
class QUrl;
class QWidget;

// The documents shipped in the program's folder, and the messages shown when one is missing.
QString HelpFileName(const QString& localPath);    // LocalPath + "help.chm"
QString LicenseFileName(const QString& localPath); // LocalPath + "license.chm"
QString HelpMissingText(const QString& localPath);
QString LicenseMissingText(const QString& localPath);
// The desktop found no program for the document: said rather than ignored,
// since a fresh Linux desktop often has no CHM viewer.
QString DocumentNotOpenedText(const QString& fileName);

class THelpMenu : public QObject {
    Q_OBJECT
public:
    // `owner` is the main window: the menu's parent and the parent of its message boxes.
    explicit THelpMenu(QWidget* owner);

    // Handed over by the main window.
    QString LocalPath;                   // with its closing "/"
    QString VersionProgram;              // shown by the about window
    MapEngine* Map = nullptr;            // edited by the settings dialog
    std::function<void()> LoadPriceList; // extracts the price list and shows it in the viewer

    // How a document reaches the user's viewer and how a failure is told;
    // the desktop's file opener and an error box unless replaced.
    std::function<bool(const QUrl& document)> OpenDocument;
    std::function<void(const QString& message)> ShowError;

    QMenu* pmHelp;
    QAction* NPricelist;
    QAction* NHelp;
    QAction* NLicense;
    QAction* NFriends;
    QAction* NSettings;
    QAction* NAbout;

    // Pops the menu up just under `button` (its left edge, its bottom).
    void PopupUnder(QWidget* button);

    void NPricelistClick();
    void NHelpClick();
    void NLicenseClick();
    void NFriendsClick();
    void NSettingsClick();
    void NAboutClick();

private:
    void openShippedDocument(const QString& fileName, const QString& missingText);

    QWidget* owner_;
};
