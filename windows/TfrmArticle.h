// The document viewer: a firm's advertising article (a web archive) or the
// edition's price list, in an embedded browser. The browser is created on the
// first showing, so start-up does not pay for it.
#pragma once

#include <QDialog>
#include <QStringList>

class QWebEngineView;

class TfrmArticle : public QDialog {
    Q_OBJECT
public:
    explicit TfrmArticle(QWidget* parent = nullptr);
    ~TfrmArticle() override;

    // Opens `fileName` with `caption` as the window's title and shows the
    // window (not modal); a missing file closes the window instead.
    void Show(const QString& fileName, const QString& caption);

    // The folder of extracted files (TempPath, with its closing "/"). The
    // articles extracted there that the viewer showed are deleted when it
    // hides, with the pages it unpacked from them. Until the folder is handed
    // over, the folder of the last document stands for it: the price list
    // and the articles are always extracted there.
    void SetTempPath(const QString& tempPath) { tempPath_ = tempPath; }

    // The embedded browser; null until the first document is shown.
    QWebEngineView* WB = nullptr;

signals:
    // The document (or the blank page after hiding) has finished loading.
    void documentLoaded(bool ok);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void FormHide();
    void deleteShownFiles();
    void createBrowser();
    void openDocument(const QString& fileName);
    QString ExtractedFilesFolder() const;

    QString tempPath_;
    QStringList shownArticles_;
    QStringList unpacked_; // the page files; each has its parts' folder beside it
};

// The document the viewer last opened.
extern QString FName;

// The article file of a firm in the folder of extracted files: TempPath + ID + ".mht".
QString ArticleFileName(const QString& tempPath, int firmId);
// True for a name ArticleFileName gives in that folder.
bool IsArticleFile(const QString& fileName, const QString& extractedFilesFolder);

extern TfrmArticle* frmArticle;
