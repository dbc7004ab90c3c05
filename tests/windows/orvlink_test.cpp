// The link label: the address it opens for web and mail addresses, its look,
// and that a click and the keyboard open it.
#include "TOrvLink.h"

#include <QDesktopServices>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Receives the URLs the desktop would open, instead of a real browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        QDesktopServices::setUrlHandler("http", this, "open");
        QDesktopServices::setUrlHandler("https", this, "open");
        QDesktopServices::setUrlHandler("mailto", this, "open");
    }
    ~UrlCatcher() override
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("mailto");
    }
    // The desktop calls the handler by name through the meta-object.
    Q_INVOKABLE void open(const QUrl& url) { opened << url; }

    QList<QUrl> opened;
};

} // namespace

TEST(OrvLink, TargetsOfWebAndMailAddresses)
{
    EXPECT_EQ(LinkTarget("www.varindel.ru"), QUrl("http://www.varindel.ru"));
    EXPECT_EQ(LinkTarget(" https://varindel.ru/a?b=1 "), QUrl("https://varindel.ru/a?b=1"));
    EXPECT_EQ(LinkTarget("info@varindel.ru"), QUrl("mailto:info@varindel.ru"));
    EXPECT_EQ(LinkTarget("mailto:info@varindel.ru"), QUrl("mailto:info@varindel.ru"));
    EXPECT_FALSE(LinkTarget("   ").isValid());
}

TEST(OrvLink, LooksLikeALink)
{
    TOrvLink link;
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    link.SetLink("www.varindel.ru");
    EXPECT_EQ(link.text(), "www.varindel.ru") << "the address is shown when there is no text";
    TOrvLink captioned;
    captioned.setText("Наш сайт");
    captioned.SetLink("www.varindel.ru");
    EXPECT_EQ(captioned.text(), "Наш сайт");
}

TEST(OrvLink, ClickAndKeyboardOpenTheAddress)
{
    UrlCatcher catcher;
    TOrvLink link;
    link.resize(100, 16);
    link.SetLink("www.varindel.ru");
    QTest::mouseClick(&link, Qt::LeftButton, {}, {5, 5});
    QTest::mouseClick(&link, Qt::RightButton, {}, {5, 5});
    TOrvLink mail;
    mail.SetLink("info@varindel.ru");
    QTest::keyClick(&mail, Qt::Key_Return);
    EXPECT_EQ(catcher.opened, (QList<QUrl>{QUrl("http://www.varindel.ru"), QUrl("mailto:info@varindel.ru")}));
}

#include "orvlink_test.moc"
