// The small progress window shared by the map export and the mail windows:
// a line of text over a gauge, standing on top of the window it serves.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

class TfrmProgress : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProgress(QWidget* parent = nullptr);

    // Shows caption in the title and text in lCont, and lets the window
    // repaint at once: the callers are busy and do not return to the event
    // loop until their work is done.
    void SetCaption(const QString& caption, const QString& text);
    void SetMax(int n);
    void IncValue();

    // Each work that uses the window (a map export, a mail being sent in the
    // background) holds it while it runs: the window shows with the first
    // hold and closes with the last release, so that a work ending first does
    // not take the window from one still running.
    void Hold();
    void Release();

    QLabel* lCont = nullptr;
    QProgressBar* gProgress = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void centreOnOwner();

    int holds_ = 0;
};

extern TfrmProgress* frmProgress;
