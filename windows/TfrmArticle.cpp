#include "TfrmArticle.h"

#include "Datamodule.h"
#include "MhtArchive.h"
#include "WindowPlacement.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHideEvent>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <unistd.h>

TfrmArticle* frmArticle = nullptr;
QString FName;

namespace {

// The browser refuses pages given as text above this size, so larger
// archives are opened by the browser itself (their pictures may then be missing).
constexpr qsizetype kLargestPageText = 1900 * 1024;

// Addresses in a document open in the user's browser or mail program, the
// way the same links of the firm list do; the viewer itself stays on the document.
class TArticlePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        const bool external = url.scheme() == QLatin1String("http") ||
                              url.scheme() == QLatin1String("https") ||
                              url.scheme() == QLatin1String("mailto");
        if (type == NavigationTypeLinkClicked && external) {
            QDesktopServices::openUrl(url);
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
};

// Chromium does not start its sandbox for the root user and the viewer would
// stay blank; the flag has to be in place before the first browser starts.
void AllowBrowserForRoot() {
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (::geteuid() == 0 && !flags.contains("--no-sandbox"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --no-sandbox").trimmed());
}

// The ID of the firm on which the data module's firm query stands; 0 when none.
int CurrentFirmId() {
    if (!DM || !DM->qFirms.Active() || DM->qFirms.Eof() || DM->qFirms.RecNo() <= 0)
        return 0;
    return DM->qFirms.FieldByName(QStringLiteral("ID")).AsInteger();
}

} // namespace

QString ArticleFileName(const QString& tempPath, int firmId) {
    return tempPath + QString::number(firmId) + QStringLiteral(".mht");
}

TfrmArticle::TfrmArticle(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Рекламная статья"));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    resize(602, 517);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void TfrmArticle::createBrowser() {
    AllowBrowserForRoot();
    WB = new QWebEngineView(this);
    WB->setPage(new TArticlePage(WB));
    layout()->addWidget(WB);
    connect(WB, &QWebEngineView::loadFinished, this, &TfrmArticle::documentLoaded);
}

void TfrmArticle::Show(const QString& fileName, const QString& caption) {
    FName = fileName;
    if (!QFile::exists(fileName)) {
        close();
        return;
    }
    if (!WB)
        createBrowser();
    openDocument(fileName);
    setWindowTitle(caption);
    if (!isVisible())
        CentreOnActiveWindow(this);
    show();
    raise();
}

void TfrmArticle::openDocument(const QString& fileName) {
    const QUrl address = QUrl::fromLocalFile(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        WB->load(address);
        return;
    }
    const QByteArray content = file.readAll();
    if (!LooksLikeWebArchive(fileName, content)) {
        WB->load(address);
        return;
    }
    const Result<TMhtArchive> archive = ParseMhtArchive(content);
    const Result<TMhtPage> page =
        archive ? SelfContainedPage(archive.value()) : Result<TMhtPage>::failure(archive.error());
    if (page && page.value().html.toUtf8().size() < kLargestPageText)
        WB->setHtml(page.value().html, address);
    else
        WB->load(address);
}

void TfrmArticle::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

QString TfrmArticle::ExtractedFilesFolder() const {
    if (!tempPath_.isEmpty())
        return tempPath_;
    return QFileInfo(FName).absolutePath() + QLatin1Char('/');
}

void TfrmArticle::FormHide() {
    if (WB)
        WB->setUrl(QUrl(QStringLiteral("about:blank")));
    if (FName.isEmpty() && tempPath_.isEmpty())
        return;
    const int firmId = CurrentFirmId();
    if (firmId != 0)
        QFile::remove(ArticleFileName(ExtractedFilesFolder(), firmId));
}
