#include "MiniHtml.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

namespace {

QHash<QString, QString> tagAttributes(const QString& tag) {
    static const QRegularExpression attribute(
        R"re(([A-Za-z_][\w-]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re");
    QHash<QString, QString> result;
    for (auto it = attribute.globalMatch(tag); it.hasNext();) {
        const auto match = it.next();
        QString value = match.captured(2);
        if (value.isNull())
            value = match.captured(3);
        if (value.isNull())
            value = match.captured(4);
        result.insert(match.captured(1).toLower(), DecodeMiniHtmlEntities(value));
    }
    return result;
}

// Control characters of database texts take no room of their own; line
// breaks are written as <br> by whoever wants them shown.
QString plainText(const QString& raw) {
    QString text = DecodeMiniHtmlEntities(raw);
    for (QChar& c : text) {
        if (c == '\t' || c == '\n' || c == '\r' || c == QChar(0xA0))
            c = ' ';
    }
    return text;
}

// The tag's name: up to the first blank, in lower case. A plain scan, not a
// regular expression, which would be compiled again for every tag of every
// line the lists lay out.
QString tagName(const QString& body, qsizetype from) {
    qsizetype end = from;
    while (end < body.size() && !body.at(end).isSpace())
        ++end;
    return body.mid(from, end - from).toLower();
}

void appendTag(std::vector<MiniHtmlToken>& tokens, const QString& tag) {
    const QString body = tag.trimmed();
    const bool closing = body.startsWith('/');
    const QString name = tagName(body, closing ? 1 : 0);
    const auto attributes = tagAttributes(body);
    if (name == "a") {
        tokens.push_back(
            {closing ? MiniHtmlToken::AnchorOff : MiniHtmlToken::AnchorOn, attributes.value("href")});
    } else if (name == "b" || name == "strong") {
        tokens.push_back({closing ? MiniHtmlToken::BoldOff : MiniHtmlToken::BoldOn});
    } else if (closing) {
        return;
    } else if (name == "img") {
        tokens.push_back(
            {MiniHtmlToken::Image, attributes.value("src"), attributes.value("align").toLower()});
    } else if (name == "br" || name == "br/") {
        tokens.push_back({MiniHtmlToken::Break});
    } else if (name == "hr" || name == "hr/") {
        tokens.push_back({MiniHtmlToken::Rule});
    } else if (name == "ind") {
        tokens.push_back({MiniHtmlToken::Indent, {}, {}, attributes.value("x").toInt()});
    } else if (name == "body" && attributes.contains("bgcolor")) {
        tokens.push_back({MiniHtmlToken::Background, attributes.value("bgcolor")});
    }
}

} // namespace

QString DecodeMiniHtmlEntities(const QString& text) {
    if (!text.contains('&'))
        return text;
    static const QHash<QString, QString> named = {{"lt", "<"},   {"gt", ">"},
                                                  {"amp", "&"},  {"quot", "\""},
                                                  {"apos", "'"}, {"nbsp", QString(QChar(0xA0))}};
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end = text[i] == '&' ? text.indexOf(';', i) : -1;
        if (end > i && end - i <= 10) {
            const QString entity = text.mid(i + 1, end - i - 1);
            bool ok = false;
            uint code = 0;
            if (entity.startsWith("#x") || entity.startsWith("#X"))
                code = entity.mid(2).toUInt(&ok, 16);
            else if (entity.startsWith('#'))
                code = entity.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                result += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                i = end;
                continue;
            }
            if (named.contains(entity.toLower())) {
                result += named.value(entity.toLower());
                i = end;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

std::vector<MiniHtmlToken> ParseMiniHtml(const QString& markup) {
    std::vector<MiniHtmlToken> tokens;
    QString pending;
    auto flushText = [&] {
        if (!pending.isEmpty())
            tokens.push_back({MiniHtmlToken::Text, plainText(pending)});
        pending.clear();
    };
    for (qsizetype i = 0; i < markup.size(); ++i) {
        const qsizetype close = markup[i] == '<' ? markup.indexOf('>', i) : -1;
        const bool opensTag =
            close > i && i + 1 < markup.size() && (markup[i + 1].isLetter() || markup[i + 1] == '/');
        if (!opensTag) {
            pending += markup[i];
            continue;
        }
        flushText();
        appendTag(tokens, markup.mid(i + 1, close - i - 1));
        i = close;
    }
    flushText();
    return tokens;
}

QColor MiniHtmlColor(const QString& name) {
    static const QHash<QString, QColor> named = {{"clyellow", QColor(255, 255, 0)},
                                                 {"clwhite", QColor(255, 255, 255)},
                                                 {"clblack", QColor(0, 0, 0)},
                                                 {"clred", QColor(255, 0, 0)},
                                                 {"cllime", QColor(0, 255, 0)},
                                                 {"clblue", QColor(0, 0, 255)},
                                                 {"clgreen", QColor(0, 128, 0)},
                                                 {"clsilver", QColor(192, 192, 192)},
                                                 {"clgray", QColor(128, 128, 128)},
                                                 {"claqua", QColor(0, 255, 255)},
                                                 {"clinfobk", QColor(255, 255, 225)},
                                                 {"clcream", QColor(255, 251, 240)},
                                                 {"clmoneygreen", QColor(192, 220, 192)},
                                                 {"clskyblue", QColor(166, 202, 240)}};
    const QString key = name.trimmed().toLower();
    if (named.contains(key))
        return named.value(key);
    if (key.startsWith('#') && key.size() == 7)
        return QColor(key);
    return {};
}

int MiniHtmlLayout::AnchorAt(QPoint point) const {
    for (const MiniHtmlRun& run : runs) {
        if (run.anchor >= 0 && run.rect.contains(point))
            return run.anchor;
    }
    return -1;
}

namespace {

// Places runs on lines from left to right, wrapping at the item's width, and
// sets each line's height from the tallest thing on it once the line ends.
class LineBuilder {
public:
    LineBuilder(MiniHtmlLayout& layout, const QFont& font) : layout_(layout), regular_(font), bold_(font) {
        bold_.setBold(true);
        textHeight_ = std::max(QFontMetrics(regular_).height(), QFontMetrics(bold_).height());
        right_ = std::max(layout.width - kMiniHtmlMargin, kMiniHtmlMargin + 1);
    }

    void text(const QString& text, bool bold, int anchor) {
        const QFontMetrics metrics(bold ? bold_ : regular_);
        qsizetype start = 0;
        while (start < text.size()) {
            qsizetype end = start;
            while (end < text.size() && text[end] != ' ')
                ++end;
            const QString word = text.mid(start, end - start);
            while (end < text.size() && text[end] == ' ')
                ++end;
            const QString piece = text.mid(start, end - start);
            const int wordWidth = metrics.horizontalAdvance(word);
            if (!word.isEmpty() && x_ + wordWidth > right_ && lineHasContent())
                newLine();
            place(MiniHtmlRun::Text, metrics.horizontalAdvance(piece), textHeight_, piece, bold, anchor);
            start = end;
        }
    }

    void image(const QString& name, const QSize& size, bool alignTop, int anchor) {
        if (x_ + size.width() > right_ && lineHasContent())
            newLine();
        place(MiniHtmlRun::Image, size.width(), size.height(), name, false, anchor);
        layout_.runs.back().picture = name;
        layout_.runs.back().text.clear();
        if (alignTop)
            topAligned_.push_back(layout_.runs.size() - 1);
    }

    void lineBreak() {
        if (afterRule_ && !lineHasContent()) {
            afterRule_ = false;
            return;
        }
        newLine();
    }

    void rule() {
        if (lineHasContent())
            newLine();
        MiniHtmlRun run;
        run.kind = MiniHtmlRun::Rule;
        run.rect = QRect(kMiniHtmlMargin, top_ + 3, right_ - kMiniHtmlMargin, 1);
        layout_.runs.push_back(run);
        top_ += 7;
        afterRule_ = true;
    }

    // The indent is a number from the mark-up, however large: past the
    // item's right edge it starts the text at that edge.
    void indent(int x) { x_ = std::max(x_, std::min(x, right_)); }

    void finish() {
        if (lineHasContent())
            newLine();
        layout_.height = std::max(top_ + 1, kMiniHtmlMinimumHeight);
    }

private:
    bool lineHasContent() const { return lineStart_ < layout_.runs.size() || x_ > kMiniHtmlMargin; }

    void place(MiniHtmlRun::Kind kind, int width, int height, const QString& text, bool bold, int anchor) {
        MiniHtmlRun run;
        run.kind = kind;
        run.rect = QRect(x_, 0, width, height);
        run.text = text;
        run.bold = bold;
        run.anchor = anchor;
        if (kind == MiniHtmlRun::Text && lineStart_ < layout_.runs.size()) {
            MiniHtmlRun& last = layout_.runs.back();
            if (last.kind == MiniHtmlRun::Text && last.bold == bold && last.anchor == anchor &&
                last.rect.right() + 1 == x_) {
                last.text += text;
                last.rect.setWidth(last.rect.width() + width);
                x_ += width;
                return;
            }
        }
        layout_.runs.push_back(run);
        x_ += width;
        afterRule_ = false;
    }

    void newLine() {
        int height = textHeight_;
        for (size_t i = lineStart_; i < layout_.runs.size(); ++i)
            height = std::max(height, layout_.runs[i].rect.height());
        for (size_t i = lineStart_; i < layout_.runs.size(); ++i) {
            QRect& rect = layout_.runs[i].rect;
            const bool top = std::find(topAligned_.begin(), topAligned_.end(), i) != topAligned_.end();
            rect.moveTop(top_ + (top ? 0 : (height - rect.height()) / 2));
        }
        top_ += height;
        x_ = kMiniHtmlMargin;
        lineStart_ = layout_.runs.size();
        topAligned_.clear();
    }

    MiniHtmlLayout& layout_;
    QFont regular_;
    QFont bold_;
    int textHeight_ = 0;
    int right_ = 0;
    int x_ = kMiniHtmlMargin;
    int top_ = 1;
    size_t lineStart_ = 0;
    std::vector<size_t> topAligned_;
    bool afterRule_ = false;
};

} // namespace

MiniHtmlLayout LayOutMiniHtml(const QString& markup, int width, const QFont& font,
                              const MiniHtmlPictureLookup& pictures) {
    MiniHtmlLayout layout;
    layout.width = width;
    LineBuilder lines(layout, font);
    int bold = 0;
    int anchor = -1;
    for (const MiniHtmlToken& token : ParseMiniHtml(markup)) {
        switch (token.kind) {
        case MiniHtmlToken::Text:
            lines.text(token.text, bold > 0, anchor);
            break;
        case MiniHtmlToken::Image: {
            const QPixmap picture = pictures ? pictures(token.text) : QPixmap();
            if (!picture.isNull())
                lines.image(token.text, picture.deviceIndependentSize().toSize(), token.align == "left",
                            anchor);
            break;
        }
        case MiniHtmlToken::Break:
            lines.lineBreak();
            break;
        case MiniHtmlToken::Rule:
            lines.rule();
            break;
        case MiniHtmlToken::Indent:
            lines.indent(token.x);
            break;
        case MiniHtmlToken::BoldOn:
            ++bold;
            break;
        case MiniHtmlToken::BoldOff:
            bold = std::max(bold - 1, 0);
            break;
        case MiniHtmlToken::AnchorOn:
            layout.anchors.append(token.text);
            anchor = int(layout.anchors.size()) - 1;
            break;
        case MiniHtmlToken::AnchorOff:
            anchor = -1;
            break;
        case MiniHtmlToken::Background:
            layout.background = MiniHtmlColor(token.text);
            break;
        }
    }
    lines.finish();
    return layout;
}

void PaintMiniHtml(QPainter& painter, const MiniHtmlLayout& layout, QPoint origin, const QFont& font,
                   const MiniHtmlPictureLookup& pictures, int hoveredAnchor) {
    static const QColor anchorColour(0, 0, 255);
    static const QColor hoverColour(255, 0, 0);
    QFont bold(font);
    bold.setBold(true);
    for (const MiniHtmlRun& run : layout.runs) {
        const QRect rect = run.rect.translated(origin);
        switch (run.kind) {
        case MiniHtmlRun::Rule:
            painter.setPen(QColor(160, 160, 160));
            painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
            break;
        case MiniHtmlRun::Image:
            if (pictures)
                painter.drawPixmap(rect.topLeft(), pictures(run.picture));
            break;
        case MiniHtmlRun::Text: {
            QFont runFont(run.bold ? bold : font);
            runFont.setUnderline(run.anchor >= 0);
            painter.setFont(runFont);
            painter.setPen(run.anchor < 0 ? QColor(Qt::black)
                                          : (run.anchor == hoveredAnchor ? hoverColour : anchorColour));
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, run.text);
            break;
        }
        }
    }
}
