// The texts of one firm: its name after its category, phones in the city's
// local format, web and mail addresses on reserved example domains, routes
// and notes.
#pragma once

#include "CategoryTree.h"
#include "Prng.h"

#include <QString>
#include <QStringList>

struct FirmName {
    QString name;
    QString brand;
};

FirmName MakeFirmName(const CategoryNode& category, const QString& topCategory, Prng& random);

// One phone number as dialled inside the city: "23-45-67" in Ольмарск,
// "245-67-89" in Корвинск.
QString LocalPhone(int edition, Prng& random);
// The firm's phone line: one to three numbers, a fax or a mobile at times.
QString FirmPhones(int edition, Prng& random);

// "www.avtolider-omk.example"; the slug is the brand's Latin spelling, and a
// variant above 0 tells apart firms of the same brand ("avtolider2-omk").
QString WebAddress(const QString& brand, int edition, int variant);
QString MailAddress(const QString& web, Prng& random);

// Routes joined by ", " as long as they fit the field's length.
QString RouteText(const QStringList& routes, int limit = 20);

QString FirmNote(Prng& random);
