// The error report: every error that escapes an event handler is shown here
// with a screenshot of the main window, and the user may send it to the
// publisher with a comment. The comment stays for the next report.
#pragma once

#include <QDialog>
#include <QImage>

#include "Result.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

class TfrmSendErrReport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSendErrReport(QWidget* parent = nullptr);

    // The application-wide handler: works on frmSendErrReport, or shows the
    // error in a plain box while that window does not exist yet. Never throws.
    static void HandleException(const QString& error);

    // Shows the report for `error` modally and sends it when the user says so.
    void ShowReport(const QString& error);

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lErrText = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* mComment = nullptr;
    QScrollArea* ScrollBox = nullptr;
    QLabel* Image = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* ldt = nullptr;
    QPushButton* btSend = nullptr;
    QPushButton* btCancel = nullptr;

signals:
    // After the outcome message of a sent report.
    void ReportFinished(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void sendReport();
    void reportFinished(bool ok, const QString& error);

    QImage screenShot_;
    int generation_ = 0;
};

extern TfrmSendErrReport* frmSendErrReport;

// The main window's picture for the report (empty without a main window).
QImage MainWindowScreenShot();
// Writes the screenshot as JPEG of quality 20; the error names the file.
Status SaveScreenShot(const QImage& picture, const QString& fileName);
