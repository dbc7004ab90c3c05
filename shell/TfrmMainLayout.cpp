// The main window's controls, menus and actions, laid out as the window is
// designed: tool bar on top, status line at the bottom, the directory panel
// and its hide button on the right, the map in the rest.
#include "ControlTag.h"
#include "TBannerImage.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TOrvEdit.h"
#include "TPictureContainer.h"
#include "TSplitterBar.h"
#include "TfrmMain.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kToolButtonSize = 60;
constexpr int kPageButtonSize = 40;
constexpr int kBannerWidth = 200;
constexpr int kBannerHeight = 60;

QIcon ThemeIcon(const char* name) {
    const QString plain = QString::fromLatin1(name);
    QIcon icon = QIcon::fromTheme(plain);
    if (icon.isNull())
        icon = QIcon::fromTheme(plain + "-symbolic");
    return icon;
}

// The icon theme the buttons draw from; the desktop's own when it has one.
void EnsureIconTheme() {
    if (!QIcon::themeName().isEmpty() && !QIcon::fromTheme("document-print").isNull())
        return;
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains("/usr/share/icons"))
        paths << "/usr/share/icons";
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName("Adwaita");
}

QToolButton* ToolButton(QWidget* parent, const char* name, const char* hint, const char* icon, int size) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(QString::fromUtf8(hint));
    // The button shows only its icon; a screen reader says its hint.
    button->setAccessibleName(button->toolTip());
    button->setIcon(ThemeIcon(icon));
    button->setIconSize(QSize(size * 3 / 5, size * 3 / 5));
    button->setFixedSize(size, size);
    button->setAutoRaise(true);
    return button;
}

TOrvEdit* PlaceholderEdit(QWidget* parent, const char* name) {
    auto* edit = new TOrvEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QComboBox* StreetComboBox(QWidget* parent, const char* name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QToolButton* ResetButton(QWidget* parent, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(ThemeIcon("edit-clear"));
    button->setToolTip("Очистить");
    button->setAccessibleName(button->toolTip());
    return button;
}

QAction* MenuAction(QMenu* menu, const char* name, const char* text) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(name);
    return action;
}

QAction* Action(QObject* owner, const char* name, const char* text) {
    auto* action = new QAction(QString::fromUtf8(text), owner);
    action->setObjectName(name);
    return action;
}

// A menu item that carries out an action of the window's list: the item can
// be hidden on its own in one menu while the action stays in the others.
QAction* ItemOfAction(QMenu* menu, const char* name, QAction* action) {
    QAction* item = MenuAction(menu, name, action->text().toUtf8().constData());
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    return item;
}

} // namespace

void TfrmMain::buildToolBar() {
    EnsureIconTheme();
    pnMainBtns = new QWidget(this);
    pnMainBtns->setObjectName("pnMainBtns");
    pnMainBtns->setFixedHeight(kToolButtonSize);
    auto* row = new QHBoxLayout(pnMainBtns);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    btScale = ToolButton(pnMainBtns, "btScale", "Масштаб", "zoom-fit-best", kToolButtonSize);
    btScaleInc = ToolButton(pnMainBtns, "btScaleInc", "Уменьшить масштаб", "zoom-out", kToolButtonSize);
    btScaleDec = ToolButton(pnMainBtns, "btScaleDec", "Увеличить масштаб", "zoom-in", kToolButtonSize);
    btPick = ToolButton(pnMainBtns, "btPick", "Указатель", "edit-select", kToolButtonSize);
    btDragMap = ToolButton(pnMainBtns, "btDragMap", "Перетаскивание карты", "input-mouse", kToolButtonSize);
    btiMeasure = ToolButton(pnMainBtns, "btiMeasure", "Измерение расстояний", "accessories-calculator",
                            kToolButtonSize);
    btHelp = ToolButton(pnMainBtns, "btHelp", "Помощь", "help-browser", kToolButtonSize);
    btMiniMap = ToolButton(pnMainBtns, "btMiniMap", "Миникарта", "mark-location", kToolButtonSize);
    btSendPublish =
        ToolButton(pnMainBtns, "btSendPublish", "Cвязь с Варинделом", "mail-send", kToolButtonSize);
    btPrint = ToolButton(pnMainBtns, "btPrint", "Печать", "document-print", kToolButtonSize);
    btScaleInc->hide();
    btScaleDec->hide();

    InstrumentButtons = new QButtonGroup(this);
    for (QToolButton* button : {btScale, btPick, btDragMap, btiMeasure}) {
        button->setCheckable(true);
        InstrumentButtons->addButton(button);
    }
    btPick->setChecked(true);
    btMiniMap->setCheckable(true);

    for (QToolButton* button : {btScale, btScaleInc, btScaleDec, btPick, btDragMap, btiMeasure, btHelp,
                                btMiniMap, btSendPublish, btPrint})
        row->addWidget(button);
    row->addStretch(1);
    ImgBanFrontTRIDIns = new TBannerImage(pnMainBtns);
    ImgBanFrontTRIDIns->setObjectName("ImgBanFrontTRIDIns");
    ImgBanFrontTRIDIns->setFixedSize(kBannerWidth, kBannerHeight);
    ImgBanFrontTRIDIns->SetPicture(TBannerImage::Placeholder(ImgBanFrontTRIDIns->size()));
    row->addWidget(ImgBanFrontTRIDIns);
}

void TfrmMain::buildStatusLine() {
    pnInfo = new QWidget(this);
    pnInfo->setObjectName("pnInfo");
    pnInfo->setFixedHeight(20);
    auto* row = new QHBoxLayout(pnInfo);
    row->setContentsMargins(4, 0, 4, 0);
    lInfo = new QLabel("_", pnInfo);
    lInfo->setObjectName("lInfo");
    QFont bold = lInfo->font();
    bold.setBold(true);
    lInfo->setFont(bold);
    row->addWidget(lInfo);
}

void TfrmMain::buildDirectoryPanel() {
    pHide = new QWidget(this);
    pHide->setObjectName("pHide");
    pHide->setFixedWidth(8);
    auto* hideColumn = new QVBoxLayout(pHide);
    hideColumn->setContentsMargins(0, 0, 0, 0);
    btPHide = new QToolButton(pHide);
    btPHide->setObjectName("btPHide");
    btPHide->setToolTip("Щелкните, чтобы убрать панель информации");
    btPHide->setAccessibleName(btPHide->toolTip());
    btPHide->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    btPHide->setAutoRaise(true);
    SetTag(btPHide, 1);
    hideColumn->addWidget(btPHide);

    pnFirms = new QWidget(this);
    pnFirms->setObjectName("pnFirms");
    pnFirms->setFixedWidth(272);
    auto* column = new QVBoxLayout(pnFirms);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnButtons = new QWidget(pnFirms);
    pnButtons->setObjectName("pnButtons");
    pnButtons->setFixedHeight(56);
    auto* buttons = new QVBoxLayout(pnButtons);
    buttons->setContentsMargins(2, 0, 2, 0);
    buttons->setSpacing(0);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(2);
    btFolders = ToolButton(pnButtons, "btFolders", "Категории", "folder", kPageButtonSize);
    btFavorites = ToolButton(pnButtons, "btFavorites", "Избранное", "starred", kPageButtonSize);
    btFind = ToolButton(pnButtons, "btFind", "Поиск организаций", "edit-find", kPageButtonSize);
    btFindHouse = ToolButton(pnButtons, "btFindHouse", "Поиск домов", "go-home", kPageButtonSize);
    btBldInfo =
        ToolButton(pnButtons, "btBldInfo", "Информация о здании", "dialog-information", kPageButtonSize);
    btDiary = ToolButton(pnButtons, "btDiary", "Информация о здании", "x-office-calendar", kPageButtonSize);
    // Its hint repeats the building page's; a reader needs the two told apart.
    btDiary->setAccessibleName(QString::fromUtf8(TabHints[5]));
    PageButtons = new QButtonGroup(this);
    for (QToolButton* button : {btFolders, btFavorites, btFind, btFindHouse, btBldInfo, btDiary}) {
        button->setCheckable(true);
        PageButtons->addButton(button);
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch(1);
    btFolders->setChecked(true);
    lCapTab = new QLabel(QString::fromUtf8(TabHints[0]), pnButtons);
    lCapTab->setObjectName("lCapTab");
    QFont bold = lCapTab->font();
    bold.setBold(true);
    lCapTab->setFont(bold);
    buttons->addLayout(buttonRow);
    buttons->addWidget(lCapTab);
    column->addWidget(pnButtons);

    buildPages();
    column->addWidget(pcTabs);

    mDiary = new QPlainTextEdit(pnFirms);
    mDiary->setObjectName("mDiary");
    mDiary->setFixedHeight(0);
    PicCnt = new TPictureContainer(this);
    PicCnt->setObjectName("PicCnt");
    lbFirms = new THTMListBox(pnFirms);
    lbFirms->setObjectName("lbFirms");
    lbFirms->setAccessibleName("Организации");
    lbFirms->PictureContainer = PicCnt;
    Splitterlf = new TSplitterBar(pcTabs, lbFirms, pnFirms);
    Splitterlf->setObjectName("Splitterlf");
    Splitterlf->MinSize = kSplitterMinSize;
    column->addWidget(Splitterlf);
    column->addWidget(mDiary);
    column->addWidget(lbFirms, 1);

    ImgBanFrontBRIDIns = new TBannerImage(pnFirms);
    ImgBanFrontBRIDIns->setObjectName("ImgBanFrontBRIDIns");
    ImgBanFrontBRIDIns->setFixedHeight(kBannerHeight);
    ImgBanFrontBRIDIns->SetPicture(TBannerImage::Placeholder(QSize(kBannerWidth, kBannerHeight)));
    column->addWidget(ImgBanFrontBRIDIns);
}

void TfrmMain::buildPages() {
    pcTabs = new QStackedWidget(pnFirms);
    pcTabs->setObjectName("pcTabs");

    tsFolders = new QWidget;
    tvFolders = new QTreeWidget(tsFolders);
    tvFolders->setObjectName("tvFolders");
    tvFolders->setHeaderHidden(true);
    (new QVBoxLayout(tsFolders))->addWidget(tvFolders);

    tsFavorites = new QWidget;
    new QVBoxLayout(tsFavorites);
    tsFind = buildSearchPage();
    tsFindHouse = buildHouseSearchPage();

    tsBldInfo = new QWidget;
    lbBldInfo = new THTMListBox(tsBldInfo);
    lbBldInfo->setObjectName("lbBldInfo");
    lbBldInfo->setAccessibleName(QString::fromUtf8(TabHints[4]));
    (new QVBoxLayout(tsBldInfo))->addWidget(lbBldInfo);

    tsDiary = new QWidget;
    MonthCalendar = new QCalendarWidget(tsDiary);
    MonthCalendar->setObjectName("MonthCalendar");
    // Month and day names in Russian like the rest of the program, whatever the machine's locale.
    MonthCalendar->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    MonthCalendar->setFirstDayOfWeek(Qt::Monday);
    MonthCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // The calendar's month arrows show only an icon.
    for (const auto& [arrow, name] : {std::pair{"qt_calendar_prevmonth", "Предыдущий месяц"},
                                      std::pair{"qt_calendar_nextmonth", "Следующий месяц"}})
        if (auto* button = MonthCalendar->findChild<QToolButton*>(arrow))
            button->setAccessibleName(QString::fromUtf8(name));
    (new QVBoxLayout(tsDiary))->addWidget(MonthCalendar);

    const std::array<QWidget*, kTabsCount> pages{tsFolders,   tsFavorites, tsFind,
                                                 tsFindHouse, tsBldInfo,   tsDiary};
    const std::array<const char*, kTabsCount> names{"tsFolders",   "tsFavorites", "tsFind",
                                                    "tsFindHouse", "tsBldInfo",   "tsDiary"};
    for (int page = 0; page < kTabsCount; ++page) {
        pages[page]->setObjectName(names[page]);
        pages[page]->setToolTip(QString::fromUtf8(TabHints[page]));
        pages[page]->layout()->setContentsMargins(2, 2, 2, 2);
        // A page shows in whatever height its area has; the area's height
        // is the page's own choice (its Tag), not what its controls ask for.
        pages[page]->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
        pages[page]->setMinimumHeight(0);
        SetTag(pages[page], kDesignTabsHeights[page]);
        pcTabs->addWidget(pages[page]);
    }
    pcTabs->setMinimumHeight(0);
}

QWidget* TfrmMain::buildSearchPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setSpacing(2);
    edName = PlaceholderEdit(page, "edName");
    btName = ResetButton(page, "btName");
    cbStreet = StreetComboBox(page, "cbStreet");
    edHouse = PlaceholderEdit(page, "edHouse");
    edHouse->setFixedWidth(50);
    btAddress = ResetButton(page, "btAddress");
    edPhone = PlaceholderEdit(page, "edPhone");
    btPhone = ResetButton(page, "btPhone");
    edPostIndex = PlaceholderEdit(page, "edPostIndex");
    btPhoneIndex = ResetButton(page, "btPhoneIndex");
    edWeb = PlaceholderEdit(page, "edWeb");
    btWeb = ResetButton(page, "btWeb");
    edEmail = PlaceholderEdit(page, "edEmail");
    btEmail = ResetButton(page, "btEmail");
    btSearch = new QPushButton("Начать поиск", page);
    btSearch->setObjectName("btSearch");

    grid->addWidget(edName, 0, 0, 1, 2);
    grid->addWidget(btName, 0, 2);
    grid->addWidget(cbStreet, 1, 0);
    grid->addWidget(edHouse, 1, 1);
    grid->addWidget(btAddress, 1, 2);
    grid->addWidget(edPhone, 2, 0, 1, 2);
    grid->addWidget(btPhone, 2, 2);
    grid->addWidget(edPostIndex, 3, 0, 1, 2);
    grid->addWidget(btPhoneIndex, 3, 2);
    grid->addWidget(edWeb, 4, 0, 1, 2);
    grid->addWidget(btWeb, 4, 2);
    grid->addWidget(edEmail, 5, 0, 1, 2);
    grid->addWidget(btEmail, 5, 2);
    grid->addWidget(btSearch, 6, 0, 1, 3);
    grid->setRowStretch(7, 1);
    return page;
}

QWidget* TfrmMain::buildHouseSearchPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setSpacing(2);
    cbfhStreet = StreetComboBox(page, "cbfhStreet");
    edfhHouse = PlaceholderEdit(page, "edfhHouse");
    edfhHouse->setFixedWidth(50);
    btfhAddress = ResetButton(page, "btfhAddress");
    edfhPostIndex = PlaceholderEdit(page, "edfhPostIndex");
    edfhPostIndex->setEnabled(false);
    btfhPostIndex = ResetButton(page, "btfhPostIndex");
    btfhPostIndex->setEnabled(false);
    btfhSearch = new QPushButton("Начать поиск", page);
    btfhSearch->setObjectName("btfhSearch");

    grid->addWidget(cbfhStreet, 0, 0);
    grid->addWidget(edfhHouse, 0, 1);
    grid->addWidget(btfhAddress, 0, 2);
    grid->addWidget(edfhPostIndex, 1, 0, 1, 2);
    grid->addWidget(btfhPostIndex, 1, 2);
    grid->addWidget(btfhSearch, 2, 0, 1, 3);
    grid->setRowStretch(3, 1);
    return page;
}

void TfrmMain::buildMapArea() {
    pnMap = new QWidget(this);
    pnMap->setObjectName("pnMap");
    auto* column = new QVBoxLayout(pnMap);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    pcBookmarks = new QTabBar(pnMap);
    pcBookmarks->setObjectName("pcBookmarks");
    pcBookmarks->setFixedHeight(22);
    pcBookmarks->setExpanding(false);
    pcBookmarks->setContextMenuPolicy(Qt::CustomContextMenu);
    DataMap = new TDataMap(pnMap);
    DataMap->setObjectName("DataMap");
    DataMap->setAccessibleName("Карта города");
    // Set before the map is loaded, so that the view starts on the city
    // (its centre, at the edition's scale) rather than on an empty corner.
    DataMap->SetMpAllMapAfterLoad(true);
    column->addWidget(pcBookmarks);
    column->addWidget(DataMap, 1);
}

void TfrmMain::buildActions() {
    RefreshNullFolders = Action(this, "RefreshNullFolders", "RefreshFolders");
    aAddBookmark = Action(this, "aAddBookmark", "Добавить в закладки");
    aDelBookmark = Action(this, "aDelBookmark", "Удалить закладку");
    aAddToFavorites = Action(this, "aAddToFavorites", "Добавить в избранное");
    aDelFavorite = Action(this, "aDelFavorite", "Удалить из избранного");
    connect(RefreshNullFolders, &QAction::triggered, this, &TfrmMain::RefreshNullFoldersExecute);
}

void TfrmMain::buildMenus() {
    // pmHelp and pmPrint come with the help and print menus (TfrmMainWiring.cpp).
    pmMap = new QMenu(this);
    pmMap->setObjectName("pmMap");
    NAddBookmark = ItemOfAction(pmMap, "NAddBookmark", aAddBookmark);
    NDiaryAdd = MenuAction(pmMap, "NDiaryAdd", "Добавить в дневник");
    NIncScale = MenuAction(pmMap, "NIncScale", "Уменьшить");
    NScaleDec = MenuAction(pmMap, "NScaleDec", "Увеличить");
    DataMap->PopupMenu = pmMap;

    pmBookmarks = new QMenu(this);
    pmBookmarks->setObjectName("pmBookmarks");
    NDelBookmark = ItemOfAction(pmBookmarks, "NDelBookmark", aDelBookmark);

    pmFirms = new QMenu(this);
    pmFirms->setObjectName("pmFirms");
    NAddToFavorites = ItemOfAction(pmFirms, "NAddToFavorites", aAddToFavorites);
    NDelFavorite = ItemOfAction(pmFirms, "NDelFavorite", aDelFavorite);
    NFAddBookmark = ItemOfAction(pmFirms, "NFAddBookmark", aAddBookmark);

    pmSend = new QMenu(this);
    pmSend->setObjectName("pmSend");
    NPublish = MenuAction(pmSend, "NPublish", "Отправить заявку");
    NSendNote = pmSend->addMenu("Cвязь с Варинделом");
    NSendNote->setObjectName("NSendNote");
    const std::array<const char*, 6> notes{"Отправить пожелание", "Отправить предложение",
                                           "Отправить замечание", "Отправить неточность",
                                           "Отправить ошибку",    "Другое"};
    for (int kind = 0; kind < 6; ++kind) {
        NoteActions[kind] = NSendNote->addAction(QString::fromUtf8(notes[kind]));
        NoteActions[kind]->setData(kind);
    }

    connect(pcBookmarks, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmBookmarks->popup(pcBookmarks->mapToGlobal(at)); });
}
