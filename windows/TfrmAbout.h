// The "about" window: the registered owner and organisation of the machine,
// the program's version, the maker's links, and links to the licence and the
// help documents.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class TOrvLink;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // The version text of the main window ("Версия: ...").
    void SetVersionProgram(const QString& versionProgram);

    // What the "Лицензионный договор" and "Справка" links do: the help menu's
    // licence and help commands.
    std::function<void()> OnLicense;
    std::function<void()> OnHelp;

    QLabel* lUserName;
    QLabel* lOrganization;
    QLabel* lVersion;
    QLabel* lDescription;
    QLabel* lProduct;
    QLabel* lMaker;
    QLabel* imgOrv;
    TOrvLink* lnkProduct;
    TOrvLink* lnkMaker;
    TOrvLink* lnkCity;
    QLabel* lProgrammer;
    TOrvLink* lnkProgrammerMail;
    QLabel* lnkLicense;
    QLabel* lnkHelp;
    QPushButton* btCool;

protected:
    void showEvent(QShowEvent* event) override;
};

// "Пользователь: " + owner and "Организация: " + organisation.
QString AboutUserText(const QString& owner);
QString AboutOrganizationText(const QString& organisation);

extern TfrmAbout* frmAbout;
