// Puts a banner of the edition's Content table into a banner control. Every
// window that shows banners (splash, closing screen, main window) uses it.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class TBannerImage;
class TQuery;

// Raised by LoadBan, after the banner got its tag, cursor and click, when
// its data is no JPEG picture and no error reporter is set.
class EInvalidGraphic : public std::runtime_error {
public:
    explicit EInvalidGraphic(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The click every loaded banner gets. The main window sets its ImgBanClick here.
void SetBannerClickHandler(std::function<void(TBannerImage*)> handler);
// Where a banner that cannot be decoded is reported. The shell points it at
// the application's error handler; without it LoadBan raises EInvalidGraphic.
void SetBannerErrorReporter(std::function<void(const QString&)> reporter);

// The banner with content code `code`, from the first Content row with that
// TypeID:
//   no row        - the image keeps its picture, tag, cursor and click;
//   null data     - no picture, tag 0, the arrow cursor, no click;
//   data present  - the data decoded as JPEG; then, even when decoding
//                   failed, tag = the row's RefID, the hand cursor and the
//                   banner click; a decoding failure is then reported.
void LoadBan(TQuery& content, int code, TBannerImage* image);
// The same on the data module's qContent; does nothing without an open edition.
void LoadBan(int code, TBannerImage* image);

// The message shown when banner `code` holds no readable picture.
QString BannerDecodeErrorText(int code);
