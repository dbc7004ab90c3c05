#include "LoadBan.h"

#include "Datamodule.h"
#include "TBannerImage.h"

#include <QImage>
#include <QSet>

#include <utility>

namespace {

std::function<void(TBannerImage*)>& bannerClickHandler()
{
    static std::function<void(TBannerImage*)> handler;
    return handler;
}

std::function<void(const QString&)>& bannerErrorReporter()
{
    static std::function<void(const QString&)> reporter;
    return reporter;
}

// The banners whose damage was told in this session.
QSet<int>& reportedBanners()
{
    static QSet<int> codes;
    return codes;
}

void clearBanner(TBannerImage* image)
{
    image->SetPicture(QImage());
    image->Tag = 0;
    image->unsetCursor();
    image->OnClick = nullptr;
}

void bindBanner(TBannerImage* image, int firmId)
{
    image->Tag = firmId;
    image->setCursor(Qt::PointingHandCursor);
    image->OnClick = bannerClickHandler();
}

void reportDecodeFailure(int code)
{
    const QString message = BannerDecodeErrorText(code);
    if (!bannerErrorReporter())
        throw EInvalidGraphic(message);
    if (reportedBanners().contains(code))
        return;
    reportedBanners().insert(code);
    bannerErrorReporter()(message);
}

} // namespace

void SetBannerClickHandler(std::function<void(TBannerImage*)> handler)
{
    bannerClickHandler() = std::move(handler);
}

void SetBannerErrorReporter(std::function<void(const QString&)> reporter)
{
    bannerErrorReporter() = std::move(reporter);
    reportedBanners().clear();
}

void ReportBannerFault(const QString& message)
{
    if (!bannerErrorReporter())
        throw std::runtime_error(message.toStdString());
    bannerErrorReporter()(message);
}

QString BannerDecodeErrorText(int code)
{
    return QString("Рисунок баннера (код %1) повреждён: это не картинка JPEG.").arg(code);
}

void LoadBan(TQuery& content, int code, TBannerImage* image)
{
    if (!content.Active())
        content.Open();
    if (!content.Locate("TypeID", code))
        return;
    const TField data = content.FieldByName("Data");
    if (data.IsNull()) {
        clearBanner(image);
        return;
    }
    QImage picture;
    if (!picture.loadFromData(data.AsBlob(), "JPEG")) {
        reportDecodeFailure(code);
        return;
    }
    image->SetPicture(picture);
    bindBanner(image, content.FieldByName("RefID").AsInteger());
}

void LoadBan(int code, TBannerImage* image)
{
    if (DM == nullptr || !DM->Con.Connected())
        return;
    LoadBan(DM->qContent, code, image);
}
