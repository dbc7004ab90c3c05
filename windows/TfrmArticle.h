#pragma once

#include <QDialog>

class TfrmArticle : public QDialog {
    Q_OBJECT
public:
    explicit TfrmArticle(QWidget* parent = nullptr);
};

extern TfrmArticle* frmArticle;
