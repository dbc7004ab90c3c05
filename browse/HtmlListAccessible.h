// What a screen reader gets from an HTML list box (THTMListBox): a list
// whose children are its lines, each with its text as a reader would say
// it, the selected line marked selected, and each anchor of a line as a link
// that can be pressed. Lines and links read the list box afresh every time,
// so they never show stale text after the list changes.
#pragma once

#include <QString>
#include <QStringList>

// An item's mark-up as words: its text in order, a new line for each break
// and rule, the directory's list pictures by their meaning ("Телефоны",
// "Статья", ...), other pictures left out; blanks collapsed.
struct MiniHtmlReading {
    QString text;
    // The words of each anchor, in order of appearance; a picture-only anchor
    // takes the words of an anchor to the same place.
    QStringList anchors;
};
MiniHtmlReading ReadMiniHtml(const QString& markup);

// Registers the accessibility of THTMListBox with Qt; once is enough, more is harmless.
void InstallHtmlListAccessibility();
