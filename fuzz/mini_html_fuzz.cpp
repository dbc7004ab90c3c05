// Feeds arbitrary text to the mark-up of the HTML list boxes: it is parsed,
// laid out at a few widths and painted, and must never crash; every run
// must name an anchor that exists; and the same text escaped must come back
// as it was typed, with no tag or entity of its own.
#include "MiniHtml.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Pictures of a size that follows from their name, so that mutations reach
// pictures of many sizes; names starting with "-" have none.
QPixmap picture(const QString& name)
{
    static QHash<int, QPixmap> bySize;
    if (name.isEmpty() || name.startsWith(QLatin1Char('-')))
        return {};
    const int width = 1 + int(name.size() % 40);
    const int height = 1 + int(name.front().unicode() % 40);
    QPixmap& found = bySize[width * 100 + height];
    if (found.isNull()) {
        found = QPixmap(width, height);
        found.fill(Qt::darkGreen);
    }
    return found;
}

bool anchorsSound(const MiniHtmlLayout& layout)
{
    for (const MiniHtmlRun& run : layout.runs) {
        if (run.anchor < -1 || run.anchor >= layout.anchors.size())
            return false;
        const int hit = layout.AnchorAt(run.rect.center());
        if (hit < -1 || hit >= layout.anchors.size())
            return false;
    }
    return layout.height >= kMiniHtmlMinimumHeight;
}

// What an escaped text must show: the text with its tabs, line breaks and
// no-break spaces as plain spaces.
QString shownAs(QString text)
{
    for (QChar& c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0xA0))
            c = QLatin1Char(' ');
    return text;
}

bool escapedComesBack(const QString& text)
{
    QString shown;
    for (const MiniHtmlToken& token : ParseMiniHtml(text.toHtmlEscaped())) {
        if (token.kind != MiniHtmlToken::Text)
            return false;
        shown += token.text;
    }
    return shown == shownAs(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Lives as long as the process: the fuzzer never returns from its loop.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString markup = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!escapedComesBack(markup))
        __builtin_trap();
    static const QFont font(QStringLiteral("DejaVu Sans"), 9);
    for (const int width : {1, 120, 400}) {
        const MiniHtmlLayout layout = LayOutMiniHtml(markup, width, font, picture);
        if (!anchorsSound(layout))
            __builtin_trap();
        if (width != 120)
            continue;
        QImage canvas(width, std::min(layout.height, 200), QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        PaintMiniHtml(painter, layout, QPoint(0, 0), font, picture, 0);
    }
    return 0;
}
