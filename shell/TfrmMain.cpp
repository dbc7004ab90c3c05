// The main window's lifecycle: creation, first showing, page heights, the
// panel button, edge snapping, closing and destruction.
#include "TfrmMain.h"

#include "AddressIndex.h"
#include "BannerRotation.h"
#include "Bookmarks.h"
#include "ContentBlob.h"
#include "ControlTag.h"
#include "Datamodule.h"
#include "Diary.h"
#include "DirectoryBrowser.h"
#include "EdgeSnap.h"
#include "ErrorHandler.h"
#include "Favorites.h"
#include "LoadBan.h"
#include "MailEnvironment.h"
#include "MainFolders.h"
#include "MapNavigation.h"
#include "MapNavigator.h"
#include "PaintHooks.h"
#include "StreetCombo.h"
#include "TBannerImage.h"
#include "TDataMap.h"
#include "TMapRoutes.h"
#include "THTMListBox.h"
#include "TPictureContainer.h"
#include "TSplitterBar.h"
#include "TfrmAbout.h"
#include "TfrmArticle.h"
#include "TfrmFinish.h"
#include "TfrmFriends.h"
#include "TfrmMiniMap.h"
#include "TfrmPrintPreView.h"
#include "TfrmProgress.h"
#include "TfrmPublish.h"
#include "TfrmSendErrReport.h"
#include "TfrmSendNote.h"
#include "TfrmSettings.h"
#include "TfrmStart.h"
#include "Uidlist.h"
#include "UsageStatistics.h"
#include "Vdlutils.h"
#include "Vdlconsts.h"
#include "VersionText.h"

#include <QAction>
#include <QBuffer>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

TfrmMain* frmMain = nullptr;
QString LocalPath;
QString TempPath;
QString VersionProgram;
QString RegBookmarksValues;
QString RegBookmarksNames;
QString RegFavoritesValues;
QString RegTabsHeight;
QString RegDiary;
QString RegDiaryObj;
int MapScale = 0;
int MinScale = 0;
int MaxScale = 0;
int StepScale = 0;
bool IsFlying = false;
TIDList* IDList = nullptr;
TIDList* idLabels = nullptr;
QStringList* FindHouses = nullptr;
TFavorites* Favorites = nullptr;

const std::array<const char*, kTabsCount> TabHints{"Каталог предприятий",   "Мои закладки",
                                                   "Поиск организаций",     "Поиск домов",
                                                   "Информация об объекте", "Дневник"};

namespace {

constexpr const char* kPriceListFile = "PriceList.html";
// A moved window is snapped once the user has let it rest this long: the
// window system moves it without asking, so the snap follows the move.
constexpr int kSnapDelayMs = 150;

// Writes `data` to `fileName` in TempPath, replacing any file of that name.
Status WriteExtractedFile(const QString& fileName, const QByteArray& data) {
    if (TempPath.isEmpty())
        return Status::failure("Временная папка программы недоступна, файл не извлечён.");
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        return Status::failure(QString("Не удалось записать файл %1: %2").arg(fileName, file.errorString()));
    return success();
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setMinimumSize(800, 600);
    buildToolBar();
    buildStatusLine();
    buildDirectoryPanel();
    buildMapArea();
    buildActions();
    buildMenus();

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(pnMap, 1);
    middle->addWidget(pHide);
    middle->addWidget(pnFirms);
    column->addWidget(pnMainBtns);
    column->addLayout(middle, 1);
    column->addWidget(pnInfo);
    setCentralWidget(central);

    snapTimer_ = new QTimer(this);
    snapTimer_->setSingleShot(true);
    snapTimer_->setInterval(kSnapDelayMs);
    connect(snapTimer_, &QTimer::timeout, this, &TfrmMain::snapAfterMove);

    LoadListPictures(*PicCnt);
    createMapControllers();
    connectPageButtons();
    connectSearchPages();
    connect(btPHide, &QToolButton::clicked, this, &TfrmMain::btPHideClick);
    Splitterlf->OnMoved = [this] { SplitterlfMoved(); };

    // Like every handler, creation reports what goes wrong and the window
    // stays usable with what could be set up.
    try {
        FormCreate();
    } catch (const std::exception& error) {
        HandleError(QString::fromUtf8(error.what()));
    }
    ensureLists();
    createDirectoryControllers();
    connectActions();
}

void TfrmMain::ensureLists() {
    if (!IDList)
        IDList = new TIDList;
    if (!idLabels)
        idLabels = new TIDList;
    if (!FindHouses)
        FindHouses = new QStringList;
    if (!Favorites)
        Favorites = new TFavorites;
    if (!bookmarks_)
        loadMapBookmarks();
    if (!favoritesKeeper_)
        loadFavorites();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

void TfrmMain::connectPageButtons() {
    connect(btFolders, &QToolButton::clicked, this, [this] { ShowPage(0, false); });
    connect(btFavorites, &QToolButton::clicked, this, [this] { ShowPage(1, true); });
    connect(btFind, &QToolButton::clicked, this, [this] { ShowPage(2, false); });
    connect(btFindHouse, &QToolButton::clicked, this, [this] { ShowPage(3, false); });
    connect(btBldInfo, &QToolButton::clicked, this, [this] { ShowPage(4, true); });
    connect(btDiary, &QToolButton::clicked, this, [this] { ShowPage(5, false); });
    connect(btSearch, &QPushButton::clicked, this, [this] { ShowPage(2, true); });
    connect(btfhSearch, &QPushButton::clicked, this, [this] { ShowPage(3, true); });
}

// --- Creation -------------------------------------------------------------

void TfrmMain::FormCreate() {
    SetExceptionHandler(TfrmSendErrReport::HandleException);
    SetBannerErrorReporter(HandleError);
    SetBannerClickHandler([](TBannerImage* banner) {
        if (frmMain)
            frmMain->ImgBanClick(banner);
    });

    LocalPath = QString::fromStdString(MakeLocalPath());
    makeTempPath();

    DM->qContent.Open();
    DM->qFolders.Open();
    DM->qRefPostIdx.Open();
    DM->qFirms.Open();
    DM->qFirmsStayOnTop.Open();

    LoadIconFile();
    LoadMapFile();
    loadRouteGraph();
    addressIndex_->Reset();
    SetTempVar();
    SetMailEnvironment({VersionProgram, TempPath, QString::fromStdString(c_GetAppDataPath()), this});

    IDList = new TIDList;
    idLabels = new TIDList;
    SetupDiaryCalendar(*MonthCalendar);

    readScales();
    setUpMap();

    FindHouses = new QStringList;
    loadMapBookmarks();
    Favorites = new TFavorites;
    loadFavorites();
    loadSettings();
    DataMap->SetFilter(true);
    paintLayers();
    StartMinutes = GetMinCount();
    startBannerRotation();
}

// Without its temporary folder the program still opens: only what has to be
// extracted to a file (the price list, articles) cannot be shown.
void TfrmMain::makeTempPath() {
    TempPath.clear();
    const Result<std::string> temp = MakeTempPath();
    if (!temp) {
        HandleError(temp.error() + " Прайс-лист и статьи не будут показаны.");
        return;
    }
    TempPath = QString::fromStdString(temp.value());
    if (frmArticle)
        frmArticle->SetTempPath(TempPath);
}

void TfrmMain::SecondaryWindowsCreated() {
    if (frmArticle)
        frmArticle->SetTempPath(TempPath);
    navigator_->SetMiniMap(frmMiniMap);
}

void TfrmMain::readScales() {
    TScaleParameters scales{GetIntFromBase(9), GetIntFromBase(10), GetIntFromBase(11), GetIntFromBase(12)};
    const std::vector<int> filled = FillMissingScales(scales, DataMap->model().extent());
    MapScale = scales.MapScale;
    MinScale = scales.MinScale;
    MaxScale = scales.MaxScale;
    StepScale = scales.StepScale;
    if (filled.empty())
        return;
    QStringList items;
    for (int item : filled)
        items << QString::number(item);
    HandleError(QString("В издании нет масштабов карты (пункты %1): взяты масштабы по размерам карты.")
                    .arg(items.join(", ")));
}

void TfrmMain::setUpMap() {
    DataMap->SetMashtab(47000);
    DataMap->SetScale(MapScale);
    DataMap->SetMpAllMapAfterLoad(true);
    DataMap->SetStepLinza(GetIntFromBase(StepScale));
    DataMap->SetInstrument(inPointer);
    InstallPaintHooks(*DataMap, DM->qTemp, HandleError);
    QStringList streets;
    DataMap->GetStreetList(streets);
    streetCombo_->SetStreets(streets);
    houseStreetCombo_->SetStreets(streets);
}

bool TfrmMain::LoadIconFile() {
    const std::optional<QByteArray> data = ContentBlob(DM->Con, 1);
    if (!data)
        return false;
    QBuffer stream;
    stream.setData(*data);
    stream.open(QIODevice::ReadOnly);
    const Status added = DataMap->icons().AddLibFromStream(stream);
    if (!added)
        HandleError("Библиотека значков карты повреждена: " + added.error());
    return added.ok();
}

bool TfrmMain::LoadMapFile() {
    const std::optional<QByteArray> data = ContentBlob(DM->Con, 2);
    if (!data)
        return false;
    QBuffer stream;
    stream.setData(*data);
    stream.open(QIODevice::ReadOnly);
    const Status loaded = DataMap->LoadFromStream(stream, false, 0);
    if (!loaded)
        HandleError("Карта издания повреждена: " + loaded.error());
    return loaded.ok();
}

// The edition's route graph lies beside its file; without it the map offers no routes.
void TfrmMain::loadRouteGraph() {
    if (Res < 1 || Res > kEditionCount)
        return;
    const QString reason = routes_->LoadGraph(QString::fromUtf8(GraphFiles[static_cast<std::size_t>(Res)]));
    if (!reason.isEmpty())
        HandleError(reason + " Маршруты не будут построены.");
}

bool TfrmMain::LoadPriceList() {
    // Without the folder the name would be taken in the current folder.
    if (TempPath.isEmpty())
        throw std::runtime_error("Временная папка программы недоступна: прайс-лист не показан.");
    const QString fileName = TempPath + kPriceListFile;
    bool extracted = false;
    if (const std::optional<QByteArray> data = ContentBlob(DM->Con, 3)) {
        const Status written = WriteExtractedFile(fileName, *data);
        if (!written)
            throw std::runtime_error(written.error().toStdString());
        extracted = true;
    }
    frmArticle->Show(fileName, "Прайс-лист");
    return extracted;
}

bool TfrmMain::LoadArticle(const TQuery& firm) {
    if (!firm.Active() || firm.Eof() || firm.FieldByName("article").IsNull())
        return false;
    const QString fileName = ArticleFileName(TempPath, firm.FieldByName("ID").AsInteger());
    const Status written = WriteExtractedFile(fileName, firm.FieldByName("article").AsBlob());
    if (!written)
        throw std::runtime_error(written.error().toStdString());
    frmArticle->Show(fileName, "Статья: " + firm.FieldByName("Name").AsString());
    return true;
}

void TfrmMain::SetTempVar() {
    VersionProgram = VersionText(LocalPath.toStdString());
    RegBookmarksValues = GetStrFromBase(5);
    RegBookmarksNames = GetStrFromBase(6);
    RegFavoritesValues = GetStrFromBase(7);
    RegTabsHeight = GetStrFromBase(8);
    RegDiary = GetStrFromBase(23);
    RegDiaryObj = GetStrFromBase(24);
}

// The bookmarks and the favourites are written back when their keepers go,
// in the destruction.
void TfrmMain::loadMapBookmarks() {
    bookmarks_ = std::make_unique<TBookmarks>(*pcBookmarks, *DataMap, RegBookmarksValues.toStdString(),
                                              RegBookmarksNames.toStdString());
    bookmarks_->OnNotFound = [this](const QString& message) {
        QMessageBox::information(this, "Информация", message);
    };
}

void TfrmMain::loadFavorites() {
    favoritesKeeper_ = std::make_unique<TFavoritesKeeper>(*Favorites, RegFavoritesValues.toStdString());
}

void TfrmMain::loadSettings() {
    LoadSettingsFromReg(*DataMap);
    settingsRead_ = true;
}

void TfrmMain::paintLayers() {
    PaintLayers(*DataMap);
}

void TfrmMain::startBannerRotation() {
    bannerRotation_->StartBanTimer();
}

// --- First showing --------------------------------------------------------

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TfrmMain::FormShow() {
    LoadTabsHeightFromReg();
    RefreshNullFolders->trigger();
}

void TfrmMain::RefreshNullFoldersExecute() {
    browser_->RefreshNullFoldersExecute();
}

// --- Pages ----------------------------------------------------------------

void TfrmMain::LoadTabsHeightFromReg() {
    TTabsHeights heights{};
    for (int page = 0; page < kTabsCount; ++page)
        heights[page] = Tag(pcTabs->widget(page));
    heights = LoadTabsHeights(RegTabsHeight.toStdString(), heights);
    for (int page = 0; page < kTabsCount; ++page)
        SetTag(pcTabs->widget(page), heights[page]);
    tabsHeightsRead_ = true;
    SetTabsChange();
}

void TfrmMain::SaveTabsHeightToReg() {
    if (!tabsHeightsRead_)
        return;
    TTabsHeights heights{};
    for (int page = 0; page < kTabsCount; ++page)
        heights[page] = Tag(pcTabs->widget(page));
    SaveTabsHeights(RegTabsHeight.toStdString(), heights);
}

void TfrmMain::SetTabsChange() {
    pcTabs->setFixedHeight(Tag(pcTabs->currentWidget()));
}

void TfrmMain::SplitterlfMoved() {
    const int height = PageAreaHeightAfterMove(pcTabs->height());
    pcTabs->setFixedHeight(height);
    SetTag(pcTabs->currentWidget(), height);
}

void TfrmMain::ShowPage(int index, bool Reload) {
    pageReload_ = Reload;
    browser_->ShowPage(index, Reload);
    pageReload_ = true;
}

// --- Panel button and edge snapping ---------------------------------------

void TfrmMain::btPHideClick() {
    pnFirms->setVisible(!pnFirms->isVisible());
    SetTag(btPHide, Tag(btPHide) == 1 ? 0 : 1);
}

QPoint TfrmMain::SnappedPosition(const QRect& proposed) const {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return proposed.topLeft();
    return lip(screen->availableGeometry(), proposed);
}

void TfrmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible() && !isMaximized() && !isFullScreen())
        snapTimer_->start();
}

void TfrmMain::snapAfterMove() {
    const QRect frame = frameGeometry();
    const QPoint snapped = SnappedPosition(frame);
    if (snapped != frame.topLeft())
        move(snapped);
}

// --- Closing and destruction ----------------------------------------------

void TfrmMain::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TfrmMain::FormClose() {
    const Status saved = SaveStatistic(LocalPath.toStdString(), StartMinutes, Res);
    if (!saved)
        HandleError(saved.error());
}

void TfrmMain::FormDestroy() {
    destroying_ = true;
    delete FindHouses;
    FindHouses = nullptr;
    delete idLabels;
    idLabels = nullptr;
    delete IDList;
    IDList = nullptr;

    bookmarks_.reset();
    favoritesKeeper_.reset();
    delete Favorites;
    Favorites = nullptr;
    SaveTabsHeightToReg();
    if (settingsRead_)
        SaveSettingsToReg(*DataMap);

    stopBannerTimers();
    showClosingScreen();
    destroySecondaryWindows();
}

void TfrmMain::stopBannerTimers() {
    bannerRotation_->StopBanTimers();
}

void TfrmMain::showClosingScreen() {
    frmFinish = new TfrmFinish;
    delete frmFinish;
    frmFinish = nullptr;
}

namespace {

template <typename Window> void DestroyWindow(Window*& window) {
    delete window;
    window = nullptr;
}

} // namespace

void TfrmMain::destroySecondaryWindows() {
    DestroyWindow(frmMiniMap);
    DestroyWindow(frmArticle);
    DestroyWindow(frmPublish);
    DestroyWindow(frmSendNote);
    DestroyWindow(frmProgress);
    DestroyWindow(frmPrintPreView);
    DestroyWindow(frmFriends);
    DestroyWindow(frmSendErrReport);
    DestroyWindow(frmAbout);
    DestroyWindow(frmSettings);
    DestroyWindow(frmStart);
}
