// The publication request: a firm asks the publisher to be listed. The typed
// texts stay in the window between openings, and after a failed send too.
#pragma once

#include "MailTexts.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmPublish : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPublish(QWidget* parent = nullptr);

    // "Отправить": checks the required fields, then sends; the window closes
    // with OK once the publisher's server took the request.
    void btSendClick();
    TPublishFields Fields() const;

    QLineEdit* edNameFirm = nullptr;
    QLineEdit* edFIO = nullptr;
    QLineEdit* edPhone = nullptr;
    QLineEdit* edAddr = nullptr;
    QLineEdit* edSite = nullptr;
    QLineEdit* edMail = nullptr;
    QLineEdit* edKindAct = nullptr;
    QPlainTextEdit* MNote = nullptr;
    QPushButton* btSend = nullptr;
    QPushButton* BitBtn2 = nullptr;

signals:
    // After the outcome message of a send.
    void SendFinished(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void sendFinished(bool ok, const QString& error);
};

extern TfrmPublish* frmPublish;
