#include "EditionChoice.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void touch(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly);
}

QList<int> editions(const QList<TEditionItem>& items)
{
    QList<int> indexes;
    for (const TEditionItem& item : items)
        indexes << item.edition;
    return indexes;
}

} // namespace

TEST(EditionChoice, ListsTheEditionsWhoseFileIsInTheCurrentFolder)
{
    TemporaryFolder folder;
    CurrentFolder here(folder.path());
    EXPECT_TRUE(AvailableEditions().isEmpty());

    touch(folder.file("datakrv.abs"));
    ASSERT_EQ(editions(AvailableEditions()), QList<int>({2}));
    EXPECT_EQ(AvailableEditions()[0].name, "Корвинск");

    touch(folder.file("dataomk.abs"));
    EXPECT_EQ(editions(AvailableEditions()), QList<int>({1, 2}));
    EXPECT_EQ(AvailableEditions()[0].name, "Ольмарск");
}

TEST(EditionChoice, AFolderOfTheEditionsNameIsNoEdition)
{
    TemporaryFolder folder;
    CurrentFolder here(folder.path());
    QDir(QString::fromStdString(folder.path())).mkdir("dataomk.abs");
    EXPECT_TRUE(AvailableEditions().isEmpty());
}

TEST(EditionChoice, ServiceShowsTheDescriptionOnlyWhileTheFileIsThere)
{
    TemporaryFolder folder;
    CurrentFolder here(folder.path());
    touch(folder.file("dataomk.abs"));
    TEditionService state = EditionService(1);
    EXPECT_TRUE(state.loadEnabled);
    EXPECT_EQ(state.description, "Ольмарск. Сентябрь 2008");

    state = EditionService(0);
    EXPECT_FALSE(state.loadEnabled);
    EXPECT_EQ(state.description, "Файл не найден");

    QFile::remove(QString::fromStdString(folder.file("dataomk.abs")));
    state = EditionService(1);
    EXPECT_FALSE(state.loadEnabled);
    EXPECT_EQ(state.description, "Файл не найден");
}
