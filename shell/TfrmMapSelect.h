// The edition dialog: lists the editions whose file is present and returns
// the chosen one's index from ShowModal (0 when nothing was chosen).
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TfrmMapSelect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMapSelect(QWidget* parent = nullptr);

    int ShowModal();
    // Enables "Загрузить" and shows the description for the selected edition.
    void Service();
    // The edition index of the selected item, 0 when none is selected.
    int SelectedEdition() const;

    QLabel* Label1;
    QListWidget* lbMaps;
    QLabel* lDescription;
    QPushButton* btLoadMap;
    QPushButton* btCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void lbMapsDblClick();
};

extern TfrmMapSelect* frmMapSelect;
