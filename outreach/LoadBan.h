// Puts a banner of the edition's Content table into a banner control. Every
// window that shows banners (splash, closing screen, main window) uses it.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class TBannerImage;
class TQuery;

// Raised by LoadBan when a banner's data is no JPEG picture and no error
// reporter is set.
class EInvalidGraphic : public std::runtime_error {
public:
    explicit EInvalidGraphic(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The click every loaded banner gets. The main window sets its ImgBanClick here.
void SetBannerClickHandler(std::function<void(TBannerImage*)> handler);
// Where a banner fault is reported. The main window points it at the
// application's error handler when its session starts; setting it starts the
// session's record of banners already reported. Without it LoadBan raises
// EInvalidGraphic.
void SetBannerErrorReporter(std::function<void(const QString&)> reporter);
// Tells the reporter of a banner fault; without one, raises it.
void ReportBannerFault(const QString& message);

// The banner with content code `code`, from the first Content row with that
// TypeID:
//   no row        - the image keeps its picture, tag, cursor and click;
//   null data     - no picture, tag 0, the arrow cursor, no click;
//   data present  - the data decoded as JPEG, tag = the row's RefID, the
//                   hand cursor and the banner click. Data that is no picture
//                   is skipped like a missing row, and reported the first time
//                   in the session only: a rotation comes back to it forever.
void LoadBan(TQuery& content, int code, TBannerImage* image);
// The same on the data module's qContent; does nothing without an open edition.
void LoadBan(int code, TBannerImage* image);

// The message shown when banner `code` holds no readable picture.
QString BannerDecodeErrorText(int code);
