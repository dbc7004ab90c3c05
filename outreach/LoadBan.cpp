#include "LoadBan.h"

#include "Datamodule.h"
#include "TBannerImage.h"

#include <QImage>

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
    if (bannerErrorReporter())
        bannerErrorReporter()(message);
    else
        throw EInvalidGraphic(message);
}

} // namespace

void SetBannerClickHandler(std::function<void(TBannerImage*)> handler)
{
    bannerClickHandler() = std::move(handler);
}

void SetBannerErrorReporter(std::function<void(const QString&)> reporter)
{
    bannerErrorReporter() = std::move(reporter);
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
    const bool decoded = picture.loadFromData(data.AsBlob(), "JPEG");
    image->SetPicture(picture);
    bindBanner(image, content.FieldByName("RefID").AsInteger());
    if (!decoded)
        reportDecodeFailure(code);
}

void LoadBan(int code, TBannerImage* image)
{
    if (DM == nullptr || !DM->Con.Connected())
        return;
    LoadBan(DM->qContent, code, image);
}
