#include "HtmlListAccessible.h"

#include "MiniHtml.h"
#include "THTMListBox.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <vector>

namespace {

// The pictures of the firm mark-up stand for words a reader should hear.
const QHash<QString, QString>& PictureWords() {
    static const QHash<QString, QString> words{
        {"phones.bmp", "Телефоны"},  {"web.bmp", "Сайт"},         {"email.bmp", "Почта"},
        {"bus.bmp", "Автобус"},      {"minibus.bmp", "Маршрутка"}, {"note.bmp", "Примечание"},
        {"article.bmp", "Статья"},   {"category.bmp", "Категория"}, {"address.bmp", "Адрес"}};
    return words;
}

QString Tidy(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split('\n')) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines << simple;
    }
    return lines.join('\n');
}

// Queued, so that a reader's request returns at once even when the action
// opens a window that waits for the user.
void Later(QObject* context, std::function<void()> work) {
    QTimer::singleShot(0, context, std::move(work));
}

QRect ToScreen(const THTMListBox* list, const QRect& inViewport) {
    if (inViewport.isNull())
        return {};
    return QRect(list->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
}

class TLineAccessible;

// A link of a line: the anchor's words as its name, the href as its description.
class TAnchorAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TAnchorAccessible(THTMListBox* list, int line, int anchor, QAccessible::Id parent)
        : list_(list), line_(line), anchor_(anchor), parent_(parent) {}

    bool isValid() const override { return list_ && anchor_ < list_->AnchorCount(line_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::accessibleInterface(parent_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Link; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        const MiniHtmlReading reading = ReadMiniHtml(list_->Item(line_));
        if (kind == QAccessible::Name)
            return reading.anchors.value(anchor_);
        if (kind == QAccessible::Description)
            return href();
        return {};
    }

    QRect rect() const override { return isValid() ? ToScreen(list_, list_->AnchorRect(line_, anchor_)) : QRect(); }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.linked = true;
        state.invisible = !isValid() || !list_->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid())
            return;
        QPointer<THTMListBox> list = list_;
        const int line = line_, anchor = anchor_;
        Later(list_, [list, line, anchor] {
            if (list) {
                list->ScrollToItem(line);
                list->ClickAnchor(line, anchor);
            }
        });
    }

private:
    QString href() const {
        int seen = -1;
        for (const MiniHtmlToken& token : ParseMiniHtml(list_->Item(line_)))
            if (token.kind == MiniHtmlToken::AnchorOn && ++seen == anchor_)
                return token.text;
        return {};
    }

    QPointer<THTMListBox> list_;
    int line_;
    int anchor_;
    QAccessible::Id parent_;
};

// A line of the list: its words as the name, selected when it is the list's
// item; pressing it does what a click on it does.
class TLineAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TLineAccessible(THTMListBox* list, int line) : list_(list), line_(line) {}

    ~TLineAccessible() override {
        for (QAccessible::Id id : anchors_)
            QAccessible::deleteAccessibleInterface(id);
    }

    bool isValid() const override { return list_ && line_ < list_->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list_.data()); }
    int childCount() const override { return isValid() ? list_->AnchorCount(line_) : 0; }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (int(anchors_.size()) <= index) {
            auto* anchor = new TAnchorAccessible(list_, line_, int(anchors_.size()),
                                                 QAccessible::uniqueId(const_cast<TLineAccessible*>(this)));
            anchors_.push_back(QAccessible::registerAccessibleInterface(anchor));
        }
        return QAccessible::accessibleInterface(anchors_[size_t(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (size_t i = 0; i < anchors_.size(); ++i)
            if (QAccessible::accessibleInterface(anchors_[i]) == child)
                return int(i);
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* anchor = child(i); anchor->rect().contains(x, y))
                return anchor;
        return nullptr;
    }

    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !isValid())
            return {};
        return ReadMiniHtml(list_->Item(line_)).text;
    }

    QRect rect() const override { return isValid() ? ToScreen(list_, list_->ItemRect(line_)) : QRect(); }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        if (!isValid()) {
            state.invisible = true;
            return state;
        }
        state.selected = list_->ItemIndex() == line_;
        state.offscreen = !list_->viewport()->rect().intersects(list_->ItemRect(line_));
        state.invisible = !list_->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), showMenuAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    void doAction(const QString& name) override {
        if (!isValid())
            return;
        QPointer<THTMListBox> list = list_;
        const int line = line_;
        if (name == pressAction())
            Later(list_, [list, line] {
                if (list)
                    list->PressItem(line);
            });
        else if (name == showMenuAction())
            Later(list_, [list, line] {
                if (!list)
                    return;
                list->PressItem(line);
                if (list->PopupMenu)
                    list->PopupMenu->popup(list->viewport()->mapToGlobal(list->ItemRect(line).center()));
            });
    }

private:
    QPointer<THTMListBox> list_;
    int line_;
    mutable std::vector<QAccessible::Id> anchors_;
};

class TListAccessible : public QAccessibleWidget {
public:
    explicit TListAccessible(THTMListBox* list) : QAccessibleWidget(list, QAccessible::List) {}

    ~TListAccessible() override {
        for (QAccessible::Id id : lines_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return list()->Count(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (int(lines_.size()) <= index)
            lines_.push_back(
                QAccessible::registerAccessibleInterface(new TLineAccessible(list(), int(lines_.size()))));
        return QAccessible::accessibleInterface(lines_[size_t(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (size_t i = 0; i < lines_.size(); ++i)
            if (QAccessible::accessibleInterface(lines_[i]) == child)
                return int(i) < childCount() ? int(i) : -1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint inViewport = list()->viewport()->mapFromGlobal(QPoint(x, y));
        return child(list()->ItemAtPos(inViewport));
    }

    QAccessibleInterface* focusChild() const override {
        return list()->hasFocus() ? child(list()->ItemIndex()) : nullptr;
    }

private:
    THTMListBox* list() const { return static_cast<THTMListBox*>(widget()); }

    mutable std::vector<QAccessible::Id> lines_;
};

QAccessibleInterface* HtmlListFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("THTMListBox"))
        if (auto* list = qobject_cast<THTMListBox*>(object))
            return new TListAccessible(list);
    return nullptr;
}

} // namespace

MiniHtmlReading ReadMiniHtml(const QString& markup) {
    MiniHtmlReading reading;
    QString text;
    QString anchor;
    QStringList hrefs;
    bool inAnchor = false;
    const auto say = [&](const QString& words) {
        text += words;
        if (inAnchor)
            anchor += words;
    };
    for (const MiniHtmlToken& token : ParseMiniHtml(markup)) {
        switch (token.kind) {
        case MiniHtmlToken::Text:
            say(token.text);
            break;
        case MiniHtmlToken::Image:
            if (const auto word = PictureWords().find(token.text.toLower()); word != PictureWords().end())
                say(" " + *word + " ");
            break;
        case MiniHtmlToken::Break:
        case MiniHtmlToken::Rule:
            text += '\n';
            if (inAnchor)
                anchor += ' ';
            break;
        case MiniHtmlToken::Indent:
            say(" ");
            break;
        case MiniHtmlToken::AnchorOn:
            if (inAnchor)
                reading.anchors << anchor.simplified();
            hrefs << token.text;
            inAnchor = true;
            anchor.clear();
            break;
        case MiniHtmlToken::AnchorOff:
            if (inAnchor)
                reading.anchors << anchor.simplified();
            inAnchor = false;
            break;
        default:
            break;
        }
    }
    if (inAnchor)
        reading.anchors << anchor.simplified();
    // A picture link (a firm's logo) is called what the words leading to the same place are called.
    for (qsizetype i = 0; i < reading.anchors.size(); ++i)
        for (qsizetype j = 0; j < reading.anchors.size() && reading.anchors[i].isEmpty(); ++j)
            if (hrefs[j] == hrefs[i])
                reading.anchors[i] = reading.anchors[j];
    reading.text = Tidy(text);
    return reading;
}

void InstallHtmlListAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(HtmlListFactory);
        return true;
    }();
    (void)installed;
}
