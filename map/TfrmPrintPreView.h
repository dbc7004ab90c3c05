// The print preview: the stamped map as it will be printed, the printer and
// the number of copies. Created once, so the choices stay for the next print.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

class TfrmPrintPreView : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrintPreView(QWidget* parent = nullptr);

    // The picture shown and printed; the window takes its size when shown.
    void SetPicture(const QImage& picture);
    bool HasPrinters() const;

    // Prints the picture on the printer chosen, then closes with OK.
    void btPrintClick();

    QWidget* pSettings = nullptr;
    QComboBox* cbPrinters = nullptr;
    QSpinBox* seCopies = nullptr;
    QLabel* imgPreView = nullptr;
    QWidget* pButtons = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* btCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildSettings();
    void buildButtons();
    void fillPrinters();
    void fitToPicture();

    QScrollArea* picturePane_ = nullptr;
};

extern TfrmPrintPreView* frmPrintPreView;
