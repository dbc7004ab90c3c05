#include "firmlist_fixture.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>

namespace {

TPMXMapObjectMem building(std::int32_t id, float x, float y, const QString& street, const QString& house) {
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otBuilding;
    object.X = x;
    object.Y = y;
    object.HasAddress = true;
    object.Street = street;
    object.House = house;
    object.Geometry = {{x - 10, y - 10}, {x + 10, y - 10}, {x + 10, y + 10}, {x - 10, y + 10}};
    return object;
}

} // namespace

QByteArray PngLogo(QColor colour) {
    QImage image(24, 12, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void BuildBrowseEdition(TinyEdition& edition) {
    edition.addFolder(1, 0, "Медицина");
    edition.addFolder(2, 1, "Аптеки");
    edition.addFolder(3, 2, "Дежурные");
    edition.addFolder(4, 0, "Транспорт");
    edition.addFolder(5, 0, "Пустая");
    edition.addFirm({.id = 10,
                     .name = "Аптека <Здоровье> & Co",
                     .place = 1,
                     .phones = "111-111",
                     .email = "apteka@example.ru",
                     .web = "apteka.example.ru",
                     .image = PngLogo(Qt::red),
                     .imageName = ".png",
                     .article = "MIME-Version: 1.0",
                     .note = "Круглосуточно\r\nБез выходных"});
    edition.addFirm({.id = 11, .name = "Б-аптека", .place = 2, .selectedFont = true});
    edition.addFirm({.id = 12,
                     .name = "Вокзал",
                     .place = 1,
                     .selectedFont = true,
                     .image = PngLogo(Qt::blue),
                     .imageName = ".png"});
    edition.addFirm({.id = 13, .name = "Справочная", .place = 1, .showAlways = true});
    edition.addFirm({.id = 14, .name = "Дежурная аптека", .place = 0, .phones = ""});
    edition.linkFirm(10, 2);
    edition.linkFirm(10, 3);
    edition.linkFirm(11, 2);
    edition.linkFirm(12, 4);
    edition.linkFirm(14, 3);
    edition.addAddress({.id = 1, .objectId = 700, .firmId = 10, .office = "12", .phones = "111\r\n222\r\n"});
    edition.addAddress({.id = 2, .objectId = 701, .firmId = 10});
    edition.addAddress({.id = 3, .objectId = 702, .firmId = 10, .isBanner = true});
    edition.addAddress({.id = 4, .objectId = 700, .firmId = 11});
    edition.addAddress({.id = 5, .objectId = 700, .firmId = 14});
    edition.addAddress({.id = 6, .objectId = 799, .firmId = 14});
    edition.addAddress({.id = 7, .objectId = 702, .firmId = 12});
    edition.exec("UPDATE FirmsAdr SET Bus = '12, 45', MiniBus = '301' WHERE ID = 1");
}

BrowsePanel::BrowsePanel() {
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        BuildBrowseEdition(edition);
        edition.sealAs(folder.file(MapFiles[1]), 1);
    }
    here = std::make_unique<CurrentFolder>(folder.path());
    EXPECT_TRUE(dm.OpenEdition(1));
    for (TQuery* query : {&dm.qContent, &dm.qFolders, &dm.qFirms, &dm.qFirmsStayOnTop})
        query->Open();

    auto* layout = new QVBoxLayout(&window);
    auto* group = new QButtonGroup(&window);
    for (auto& button : buttons) {
        button = new QToolButton(&window);
        button->setCheckable(true);
        group->addButton(button);
        layout->addWidget(button);
    }
    lCapTab = new QLabel(&window);
    pcTabs = new QStackedWidget(&window);
    tvFolders = new QTreeWidget;
    pcTabs->addWidget(tvFolders);
    for (int page = 1; page < 6; ++page)
        pcTabs->addWidget(new QWidget);
    mDiary = new QPlainTextEdit(&window);
    lbFirms = new THTMListBox(&window);
    lbFirms->OpenUrl = [](const QUrl&) {};
    DataMap = new TDataMap(&window);
    PicCnt = new TPictureContainer(&window);
    LoadListPictures(*PicCnt);
    pmFirms = new QMenu(&window);
    NAddToFavorites = pmFirms->addAction("Добавить в избранное");
    NDelFavorite = pmFirms->addAction("Удалить из избранного");
    NFAddBookmark = pmFirms->addAction("Добавить в закладки");
    for (QWidget* widget : std::initializer_list<QWidget*>{lCapTab, pcTabs, mDiary, lbFirms, DataMap})
        layout->addWidget(widget);
    window.resize(400, 900);

    MapModel model;
    model.append(building(700, 0, 0, "Ленина", "1"));
    model.append(building(701, 400, 300, "Мира", "7а"));
    model.append(building(702, -300, 200, "Ленина", "3"));
    DataMap->setModel(std::move(model));
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    DataMap->ViewXY(0, 0, 5000);

    TDirectoryControls controls{tvFolders,  lbFirms, pcTabs,          lCapTab,      mDiary,
                                DataMap,    PicCnt,  buttons[0],      buttons[1],   buttons[2],
                                buttons[4], pmFirms, NAddToFavorites, NDelFavorite, NFAddBookmark,
                                &dm,        &IDList, &idLabels,       &Favorites};
    TDirectoryCallbacks callbacks;
    callbacks.SetTabsChange = [this] { ++tabsChanges; };
    callbacks.RunSearch = [this] { ++searches; };
    callbacks.LoadArticle = [this](const TQuery& firm) {
        articleOf.push_back(firm.FieldByName("ID").AsInteger());
        return !firm.FieldByName("article").IsNull();
    };
    callbacks.Publish = [this] { ++published; };
    callbacks.SetIsFlying = [this](bool on) { flying.push_back(on); };
    callbacks.ShowMessage = [this](const QString& text) { messages << text; };
    browser = std::make_unique<DirectoryBrowser>(controls, callbacks);
}

BrowsePanel::~BrowsePanel() {
    browser.reset();
    dm.DataModuleDestroy();
}

QStringList BrowsePanel::lines() const {
    return lbFirms->Items();
}

QTreeWidgetItem* BrowsePanel::nodeOf(int category) const {
    for (QTreeWidgetItemIterator it(tvFolders); *it; ++it) {
        if (CategoryOf(*it) == category)
            return *it;
    }
    return nullptr;
}

int BrowsePanel::labelsOnMap() const {
    int labels = 0;
    for (int i = 0; i < DataMap->GetCount(); ++i) {
        if (DataMap->model().isDeleted(i))
            continue;
        if (DataMap->model().object(i).ObjType == otLabel)
            ++labels;
    }
    return labels;
}
