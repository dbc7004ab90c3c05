// The note to the publisher: a wish, proposal, remark, inaccuracy, error or
// other comment, with the user's return address. The window only collects
// the texts; SndNote sends once it has closed with OK.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmSendNote : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSendNote(QWidget* parent = nullptr);

    // Opens the window for note kind 0..5 (the combo item of that index) and
    // sends the note when the user confirms it.
    void SndNote(int kind);
    // "Отправить": takes the return address when it has an "@" and a ".".
    void btSendClick();

    QLabel* imgVarindellogoleft = nullptr;
    QComboBox* cbTypes = nullptr;
    QPlainTextEdit* mComment = nullptr;
    QLineEdit* eEmail = nullptr;
    QPushButton* btSend = nullptr;
    QPushButton* btCancel = nullptr;

signals:
    // After the outcome message of a send.
    void SendFinished(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void sendNote();
    void sendFinished(bool ok, const QString& error);
};

extern TfrmSendNote* frmSendNote;
