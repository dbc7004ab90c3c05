#include "TfrmArticle.h"

#include "MhtArchive.h"
#include "WindowPlacement.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHideEvent>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <unistd.h>
#include <utility>

TfrmArticle* frmArticle = nullptr;
QString FName;

namespace {

// The unpacked page of "7.mht" is "7.mht.html", its parts are in "7.mht_files".
constexpr const char* kPageSuffix = ".html";
constexpr const char* kPartsSuffix = "_files";

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

// Writes the unpacked page and its parts' files beside the archive; false
// when any is not written.
bool WriteUnpacked(const QString& pageFile, const QString& partsFolder, const TMhtPage& page) {
    if (!QDir().mkpath(partsFolder))
        return false;
    const auto write = [](const QString& name, const QByteArray& bytes) {
        QFile file(name);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    const QString folder = QFileInfo(pageFile).absolutePath() + QLatin1Char('/');
    return write(pageFile, page.html) &&
           std::all_of(page.files.begin(), page.files.end(),
                       [&](const TMhtFile& part) { return write(folder + part.name, part.bytes); });
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

// A viewer destroyed while it shows a document (the program closes with it
// open) does not hide first: what it showed would stay in the folder.
TfrmArticle::~TfrmArticle() {
    deleteShownFiles();
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
    if (IsArticleFile(fileName, ExtractedFilesFolder()) && !shownArticles_.contains(fileName))
        shownArticles_ << fileName;
    if (!WB)
        createBrowser();
    openDocument(fileName);
    setWindowTitle(caption);
    if (!isVisible())
        CentreOnActiveWindow(this);
    show();
    raise();
}

// A web archive is opened as its unpacked page beside it; what cannot be
// unpacked is left to the browser.
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
    const QFileInfo archiveFile(fileName);
    const QString pageFile = archiveFile.absoluteFilePath() + kPageSuffix;
    const QString partsName = archiveFile.fileName() + kPartsSuffix;
    const Result<TMhtArchive> archive = ParseMhtArchive(content);
    const Result<TMhtPage> page =
        archive ? UnpackedPage(archive.value(), partsName) : Result<TMhtPage>::failure(archive.error());
    unpacked_ << pageFile;
    if (page &&
        WriteUnpacked(pageFile, archiveFile.absolutePath() + QLatin1Char('/') + partsName, page.value()))
        WB->load(QUrl::fromLocalFile(pageFile));
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

// The documents shown go, not the article of whatever firm is current now:
// the user may have moved on in the firm list while the viewer was open.
void TfrmArticle::FormHide() {
    if (WB)
        WB->setUrl(QUrl(QStringLiteral("about:blank")));
    deleteShownFiles();
}

void TfrmArticle::deleteShownFiles() {
    for (const QString& article : std::exchange(shownArticles_, {}))
        QFile::remove(article);
    for (const QString& pageFile : std::exchange(unpacked_, {})) {
        QFile::remove(pageFile);
        QDir(pageFile.chopped(static_cast<qsizetype>(qstrlen(kPageSuffix))) + kPartsSuffix)
            .removeRecursively();
    }
}

bool IsArticleFile(const QString& fileName, const QString& extractedFilesFolder) {
    static const QRegularExpression articleName(QStringLiteral("^[0-9]+\\.mht$"));
    const QFileInfo file(fileName);
    return articleName.match(file.fileName()).hasMatch() &&
           QDir::cleanPath(file.absolutePath()) == QDir::cleanPath(QDir(extractedFilesFolder).absolutePath());
}
