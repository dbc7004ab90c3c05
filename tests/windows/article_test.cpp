// The document viewer: web archives unpacked into one page, a generated
// firm's article and the price list shown, a missing document closing the
// viewer, and the article file deleted when the viewer hides.
#include "Datamodule.h"
#include "MhtArchive.h"
#include "TestEnvironment.h"
#include "TfrmArticle.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

// Chromium refuses to start its sandbox as root and finds no GPU here; both
// flags must be in place before the browser's first process starts.
const bool kChromiumFlags = [] {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    return true;
}();

QByteArray JpegPicture() {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(200, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    return bytes;
}

QByteArray Archive(const QByteArray& html, const QByteArray& pageEncoding, const QByteArray& pictureLocation,
                   const QByteArray& pictureId = {}) {
    QByteArray text =
        "From: <Varindel>\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"==b==\"\r\n\r\n"
        "This is a multi-part message in MIME format.\r\n\r\n--==b==\r\n"
        "Content-Type: text/html; charset=\"utf-8\"\r\nContent-Transfer-Encoding: " +
        pageEncoding + "\r\nContent-Location: file:///article.htm\r\n\r\n";
    text += pageEncoding == "base64" ? html.toBase64() : html;
    text += "\r\n--==b==\r\nContent-Type: image/jpeg\r\nContent-Transfer-Encoding: base64\r\n"
            "Content-Location: " +
            pictureLocation + "\r\n";
    if (!pictureId.isEmpty())
        text += "Content-ID: <" + pictureId + ">\r\n";
    text += "\r\n" + JpegPicture().toBase64() + "\r\n--==b==--\r\n";
    return text;
}

// A picture of noise, which JPEG cannot make small.
QByteArray NoisePicture(int side) {
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            picture.setPixel(x, y, QRandomGenerator::global()->generate());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", 95);
    return bytes;
}

// An archive of a page in `charset` (sent as base64) and pictures named
// "p1.jpg", "p2.jpg" ... beside it.
QByteArray ArchiveOf(const QByteArray& page, const QByteArray& charset, const QList<QByteArray>& pictures) {
    QByteArray text = "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"--b--\"\r\n\r\n"
                      "----b--\r\nContent-Type: text/html; charset=\"" +
                      charset +
                      "\"\r\nContent-Transfer-Encoding: base64\r\n"
                      "Content-Location: file:///C:/article/page.htm\r\n\r\n" +
                      page.toBase64() + "\r\n";
    for (qsizetype i = 0; i < pictures.size(); ++i)
        text += "----b--\r\nContent-Type: image/jpeg\r\nContent-Transfer-Encoding: base64\r\n"
                "Content-Location: file:///C:/article/p" +
                QByteArray::number(i + 1) + ".jpg\r\n\r\n" + pictures[i].toBase64() + "\r\n";
    return text + "----b----\r\n";
}

const QByteArray kPage = "<html><head><title>Статья о фирме</title></head><body>"
                         "<h1>Мебель</h1><img src=\"picture.jpg\"><img src='cid:pic1'>"
                         "<div style=\"background: url(other.jpg)\"></div></body></html>";

void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Runs a script in the viewer's page and waits for its result.
QVariant RunScript(QWebEngineView* view, const QString& script) {
    QVariant result;
    QEventLoop loop;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

} // namespace

TEST(MhtArchive, PartsAreDecodedWithTheirHeaders) {
    const Result<TMhtArchive> archive =
        ParseMhtArchive(Archive(kPage, "base64", "file:///picture.jpg", "pic1"));
    ASSERT_TRUE(archive) << archive.error().toStdString();
    ASSERT_EQ(archive.value().parts.size(), 2u);
    const TMhtPart& page = archive.value().parts[0];
    EXPECT_EQ(page.contentType, "text/html");
    EXPECT_EQ(page.charset, "utf-8");
    EXPECT_EQ(page.location, "file:///article.htm");
    EXPECT_EQ(page.body, kPage);
    const TMhtPart& picture = archive.value().parts[1];
    EXPECT_EQ(picture.contentType, "image/jpeg");
    EXPECT_EQ(picture.contentId, "pic1");
    EXPECT_EQ(picture.body, JpegPicture());
}

TEST(MhtArchive, QuotedPrintableWithSoftBreaks) {
    const QByteArray encoded = "<p>=D0=9C=D0=B5=\r\n=D0=B1=D0=B5=D0=BB=D1=8C a=3Db</p>";
    const Result<TMhtArchive> archive =
        ParseMhtArchive(Archive(encoded, "quoted-printable", "file:///picture.jpg"));
    ASSERT_TRUE(archive);
    EXPECT_EQ(QString::fromUtf8(archive.value().parts[0].body), "<p>Мебель a=b</p>");
}

TEST(MhtArchive, ReferencesToPartsBecomeFilesBesideThePageOthersStay) {
    const Result<TMhtArchive> archive =
        ParseMhtArchive(Archive(kPage, "base64", "file:///picture.jpg", "pic1"));
    ASSERT_TRUE(archive);
    const Result<TMhtPage> page = UnpackedPage(archive.value(), "7.mht_files");
    ASSERT_TRUE(page);
    ASSERT_EQ(page.value().files.size(), 1u) << "one file for a part however often the page shows it";
    EXPECT_EQ(page.value().files[0].name, "7.mht_files/1.jpg");
    EXPECT_EQ(page.value().files[0].bytes, JpegPicture());
    const QString html = QString::fromUtf8(page.value().html);
    EXPECT_TRUE(page.value().html.startsWith("\xEF\xBB\xBF"))
        << "the byte order mark names the page's charset";
    EXPECT_TRUE(html.contains("<img src=\"7.mht_files/1.jpg\"><img src=\"7.mht_files/1.jpg\">"));
    EXPECT_TRUE(html.contains("url(other.jpg)")) << "a name the archive does not hold is left alone";
    EXPECT_TRUE(html.contains("<title>Статья о фирме</title>"));
}

TEST(MhtArchive, APageInWindows1251BecomesUtf8) {
    const QByteArray page = QStringEncoder("windows-1251")(QStringLiteral("<p>Диваны и кресла</p>"));
    const Result<TMhtArchive> archive = ParseMhtArchive(ArchiveOf(page, "windows-1251", {}));
    ASSERT_TRUE(archive);
    const Result<TMhtPage> unpacked = UnpackedPage(archive.value(), "1.mht_files");
    ASSERT_TRUE(unpacked);
    EXPECT_EQ(unpacked.value().html, "\xEF\xBB\xBF" + QStringLiteral("<p>Диваны и кресла</p>").toUtf8());
}

TEST(MhtArchive, FilesThatAreNoArchivesAreRefusedWithAReason) {
    EXPECT_EQ(ParseMhtArchive("<html></html>").error(),
              "Файл не является веб-архивом: нет составного заголовка.");
    EXPECT_EQ(ParseMhtArchive("Content-Type: multipart/related\r\n\r\nbody").error(),
              "В заголовке веб-архива не указана граница частей.");
    const Result<TMhtArchive> pictureOnly =
        ParseMhtArchive("Content-Type: multipart/related; boundary=b\r\n\r\n--b\r\nContent-Type: "
                        "image/png\r\n\r\nx\r\n--b--\r\n");
    ASSERT_TRUE(pictureOnly);
    EXPECT_EQ(UnpackedPage(pictureOnly.value(), "x").error(), "В веб-архиве нет HTML-страницы.");
    EXPECT_TRUE(LooksLikeWebArchive("1002.MHT", {}));
    EXPECT_TRUE(LooksLikeWebArchive("x.html", "MIME-Version: 1.0\r\nContent-Type: multipart/related;"));
    EXPECT_FALSE(LooksLikeWebArchive("PriceList.html", "<!DOCTYPE html>"));
}

class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        tempPath = QString::fromStdString(folder.path()) + "/";
        viewer.SetTempPath(tempPath);
    }

    void TearDown() override { DM = nullptr; }

    // Shows the file and waits until the browser has loaded it.
    void showAndWait(const QString& fileName, const QString& caption) {
        const bool firstShow = viewer.WB == nullptr;
        QSignalSpy loaded(&viewer, &TfrmArticle::documentLoaded);
        viewer.Show(fileName, caption);
        ASSERT_TRUE(loaded.wait(firstShow ? 30000 : 15000));
        EXPECT_TRUE(loaded.last().value(0).toBool());
    }

    TemporaryFolder folder;
    QString tempPath;
    TfrmArticle viewer;
};

TEST_F(Viewer, AMissingDocumentClosesSilentlyWithoutStartingTheBrowser) {
    viewer.Show(tempPath + "PriceList.html", "Прайс-лист");
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_EQ(viewer.WB, nullptr);
    EXPECT_EQ(FName, tempPath + "PriceList.html");
    EXPECT_EQ(viewer.windowTitle(), "Рекламная статья");
}

TEST_F(Viewer, ShowsAGeneratedArticleWithItsPictureAndDeletesItOnHidingWhileThePriceListStays) {
    const QString generator = QStringLiteral(VARINDEL_BIN_DIR) + "/varindel-edition";
    if (!QFile::exists(generator))
        GTEST_SKIP() << "the edition tool is not built";
    CurrentFolder here{folder.path()};
    QProcess generate;
    generate.start(generator, {"generate", "--edition", "1", MapFiles[1], "--scale", "0.03"});
    ASSERT_TRUE(generate.waitForFinished(120000));
    ASSERT_EQ(generate.exitCode(), 0) << generate.readAllStandardError().toStdString();

    TDM dm;
    DM = &dm;
    ASSERT_TRUE(dm.OpenEdition(1));
    dm.qFirms.Open();
    while (!dm.qFirms.Eof() && dm.qFirms.FieldByName("article").IsNull())
        dm.qFirms.Next();
    ASSERT_FALSE(dm.qFirms.Eof()) << "the generated edition has articles";
    const int firmId = dm.qFirms.FieldByName("ID").AsInteger();
    const QString firmName = dm.qFirms.FieldByName("Name").AsString();
    const QString article = ArticleFileName(tempPath, firmId);
    WriteFile(article, dm.qFirms.FieldByName("article").AsBlob());
    WriteFile(tempPath + "PriceList.html",
              "<html><head><title>Прайс-лист</title></head><body><table><tr><td>Строка</td></tr></table></"
              "body></html>");

    showAndWait(article, "Статья: " + firmName);
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.windowTitle(), "Статья: " + firmName);
    EXPECT_EQ(FName, article);
    EXPECT_EQ(RunScript(viewer.WB, "document.title").toString(), firmName);
    EXPECT_GT(RunScript(viewer.WB, "document.images.length ? document.images[0].naturalWidth : 0").toInt(), 0)
        << "the article's picture comes from inside the archive";

    showAndWait(tempPath + "PriceList.html", "Прайс-лист");
    EXPECT_EQ(viewer.windowTitle(), "Прайс-лист");
    EXPECT_EQ(RunScript(viewer.WB, "document.title").toString(), "Прайс-лист");

    QSignalSpy blank(&viewer, &TfrmArticle::documentLoaded);
    viewer.close();
    EXPECT_FALSE(QFile::exists(article)) << "the current firm's article goes when the viewer hides";
    EXPECT_TRUE(QFile::exists(tempPath + "PriceList.html"));
    ASSERT_TRUE(blank.wait(15000));
    EXPECT_EQ(viewer.WB->url(), QUrl("about:blank"));
}

TEST_F(Viewer, AWebArchiveOfItsOwnAndAPlainPageInTheSameWindow) {
    const QString article = tempPath + "7.mht";
    WriteFile(article, Archive(kPage, "base64", "file:///picture.jpg", "pic1"));
    showAndWait(article, "Статья: Салон");
    EXPECT_EQ(RunScript(viewer.WB, "document.title").toString(), "Статья о фирме");
    EXPECT_EQ(RunScript(viewer.WB, "document.images[0].naturalWidth + ',' + document.images[1].naturalWidth")
                  .toString(),
              "40,40");
    EXPECT_TRUE(viewer.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(viewer.size(), QSize(602, 517));

    viewer.Show(tempPath + "gone.mht", "Статья: нет");
    EXPECT_FALSE(viewer.isVisible()) << "a missing document closes the open viewer";
    EXPECT_EQ(viewer.windowTitle(), "Статья: Салон");
    EXPECT_FALSE(QFile::exists(article)) << "the article shown goes with the viewer";
    EXPECT_EQ(QDir(tempPath).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList())
        << "and so does the page unpacked from it";
}

TEST_F(Viewer, ALargeArticleWithPicturesIsShownWhole) {
    // Some 1.7 MB: too much for a page handed to the browser as text.
    const QList<QByteArray> pictures{NoisePicture(640), NoisePicture(640)};
    QByteArray page = "<html><head><title>Большая статья</title></head><body><img src=\"p1.jpg\">";
    while (page.size() < qsizetype{250} * 1024)
        page += "<p>Мебель на заказ: шкафы, кухни, диваны, кресла и столы из массива.</p>";
    page += "<img src=\"p2.jpg\"><p id=\"end\">Конец статьи</p></body></html>";
    const QString article = tempPath + "12.mht";
    const QByteArray archive = ArchiveOf(page, "utf-8", pictures);
    ASSERT_GT(archive.size(), 1500 * 1024);
    WriteFile(article, archive);

    showAndWait(article, "Статья: Мебель");
    EXPECT_EQ(RunScript(viewer.WB, "document.title").toString(), "Большая статья");
    EXPECT_EQ(RunScript(viewer.WB, "document.getElementById('end').textContent").toString(), "Конец статьи");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return RunScript(viewer.WB, "Array.from(document.images).map(i => i.naturalWidth).join(',')")
                       .toString() == "640,640";
        },
        15000))
        << "both pictures come from the archive";
}

TEST_F(Viewer, AnArticleInWindows1251ShowsItsLetters) {
    const QByteArray page = QStringEncoder("windows-1251")(QStringLiteral(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
        "<title>Мебельный салон</title></head><body><p id=\"text\">Диваны и кресла</p>"
        "<img src=\"p1.jpg\"></body></html>"));
    const QString article = tempPath + "3.mht";
    WriteFile(article, ArchiveOf(page, "windows-1251", {JpegPicture()}));
    showAndWait(article, "Статья: Салон");
    EXPECT_EQ(RunScript(viewer.WB, "document.title").toString(), "Мебельный салон");
    EXPECT_EQ(RunScript(viewer.WB, "document.getElementById('text').textContent").toString(),
              "Диваны и кресла");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return RunScript(viewer.WB, "document.images[0].naturalWidth").toInt() == 40; }, 15000));
}

TEST_F(Viewer, ADocumentOutsideTheExtractedFilesStays) {
    QDir().mkpath(tempPath + "elsewhere");
    const QString archive = tempPath + "elsewhere/7.mht";
    WriteFile(archive, Archive(kPage, "base64", "file:///picture.jpg"));
    showAndWait(archive, "Статья");
    viewer.hide();
    EXPECT_TRUE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(archive + ".html")) << "the page the viewer unpacked goes";
}

TEST_F(Viewer, HidingDeletesTheArticlesShownNotTheCurrentFirms) {
    CurrentFolder here{folder.path()};
    TinyEdition edition(folder.file("plain.sqlite"));
    edition.addFirm({.id = 5, .name = "Аптека", .place = 1});
    edition.addFirm({.id = 7, .name = "Салон", .place = 2});
    edition.sealAs(folder.file(MapFiles[2]), 2);
    TDM dm;
    DM = &dm;
    ASSERT_TRUE(dm.OpenEdition(2));
    dm.qFirms.Open();
    WriteFile(tempPath + "5.mht", Archive(kPage, "base64", "file:///picture.jpg"));
    WriteFile(tempPath + "7.mht", Archive(kPage, "base64", "file:///picture.jpg"));
    WriteFile(tempPath + "PriceList.html", "<html><head><title>Прайс-лист</title></head></html>");

    showAndWait(tempPath + "5.mht", "Статья: Аптека");
    // The user moves on in the firm list while the article stays open.
    ASSERT_TRUE(dm.qFirms.Locate("ID", 7));
    showAndWait(tempPath + "PriceList.html", "Прайс-лист");
    viewer.hide();
    EXPECT_FALSE(QFile::exists(tempPath + "5.mht")) << "the article shown goes";
    EXPECT_TRUE(QFile::exists(tempPath + "7.mht")) << "the current firm's was never shown";
    EXPECT_TRUE(QFile::exists(tempPath + "PriceList.html"));
    EXPECT_FALSE(QFile::exists(tempPath + "5.mht.html"));
    EXPECT_FALSE(QFileInfo::exists(tempPath + "5.mht_files"));

    TfrmArticle handedNothing;
    WriteFile(tempPath + "5.mht", Archive(kPage, "base64", "file:///picture.jpg"));
    handedNothing.Show(tempPath + "5.mht", "Статья: Аптека");
    handedNothing.hide();
    EXPECT_FALSE(QFile::exists(tempPath + "5.mht")) << "the folder of the document stands for TempPath";
}

TEST_F(Viewer, AViewerDestroyedWhileOpenLeavesNoFilesBehind) {
    WriteFile(tempPath + "9.mht", Archive(kPage, "base64", "file:///picture.jpg"));
    auto* open = new TfrmArticle;
    open->SetTempPath(tempPath);
    open->Show(tempPath + "9.mht", "Статья");
    ASSERT_TRUE(QFile::exists(tempPath + "9.mht.html"));
    delete open;
    EXPECT_EQ(QDir(tempPath).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}
