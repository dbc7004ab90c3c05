// The publisher's own list of firms: a UTF-8 CSV file with a header row.
// Columns are found by their header, in English or Russian: name (название),
// categories (рубрики: "Верхняя/Нижняя" paths separated by ";"), phones
// (телефоны), web (сайт), email (почта), street (улица), house (дом), office
// (офис), bus (автобус), minibus (маршрутка), note (примечание) and logo
// (логотип: a picture file, relative to the CSV file's folder).
#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct FirmsFileRow {
    int line = 0; // where the row starts in the file, the header being line 1
    QString name;
    QStringList categories; // "Верхняя/Нижняя" or "Верхняя"
    QString phones;
    QString web;
    QString email;
    QString street;
    QString house;
    QString office;
    QString bus;
    QString minibus;
    QString note;
    QByteArray logo;
    QString logoName;
};

// The rows, or a message naming the file and the line that cannot be read.
Result<std::vector<FirmsFileRow>> ReadFirmsFile(const QString& path);
// The same for text already read; fileName only names it in messages, and
// logo paths are taken relative to folder.
Result<std::vector<FirmsFileRow>> ParseFirmsFile(const QByteArray& bytes, const QString& fileName,
                                                 const QString& folder);
