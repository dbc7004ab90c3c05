#pragma once

#include <QDialog>

class TfrmMiniMap : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMiniMap(QWidget* parent = nullptr);
};

extern TfrmMiniMap* frmMiniMap;
