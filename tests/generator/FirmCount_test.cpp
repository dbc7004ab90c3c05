// A directory asked for more firms than its city's default count: the same
// city, the default firms unchanged, and the extra firms piled into the
// everyday categories, which become the largest.
#include "Directory.h"
#include "EditionGenerator.h"
#include "TestEnvironment.h"

#include <QHash>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr double kScale = 0.5;

Directory directoryOf(const City& city, int firms)
{
    Prng random = Prng::stream(1, 2, 101);
    return BuildDirectory(city, 2, kScale, random, firms);
}

QHash<int, int> firmsPerCategory(const Directory& directory)
{
    QHash<int, int> counts;
    for (const FirmCategoryLink& link : directory.links)
        ++counts[link.categoryId];
    return counts;
}

QString nameOf(const Directory& directory, int category)
{
    return directory.categories[static_cast<std::size_t>(category - 1)].name;
}

} // namespace

TEST(FirmCount, ExtraFirmsKeepTheDefaultOnesAndGoMostlyToEverydayCategories)
{
    const City city = BuildCity({2, 1, kScale});
    const Directory usual = directoryOf(city, 0);
    const int wanted = DefaultFirmCount(kScale) * 5;
    const Directory dense = directoryOf(city, wanted);

    ASSERT_EQ(usual.firms.size(), static_cast<std::size_t>(DefaultFirmCount(kScale)));
    ASSERT_EQ(dense.firms.size(), static_cast<std::size_t>(wanted));
    for (std::size_t k = 0; k < usual.firms.size(); ++k) {
        ASSERT_EQ(dense.firms[k].name, usual.firms[k].name) << "firm " << k;
        ASSERT_EQ(dense.firms[k].category, usual.firms[k].category) << "firm " << k;
    }

    const QHash<int, int> counts = firmsPerCategory(dense);
    std::vector<std::pair<int, int>> bySize;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        bySize.emplace_back(it.value(), it.key());
    std::sort(bySize.rbegin(), bySize.rend());
    const std::vector<QString>& everyday = EverydayCategoryNames();
    int everydayAmongLargest = 0;
    for (std::size_t k = 0; k < 8; ++k)
        everydayAmongLargest += std::count(everyday.begin(), everyday.end(), nameOf(dense, bySize[k].second)) > 0;
    EXPECT_GE(everydayAmongLargest, 7);
    const int median = bySize[bySize.size() / 2].first;
    EXPECT_GT(bySize.front().first, 2 * median);
    EXPECT_LT(bySize.front().first, 5 * median);
}

TEST(FirmCount, EveryEverydayCategoryIsInTheTree)
{
    const std::vector<CategoryNode> tree = BuildCategoryTree();
    for (const QString& name : EverydayCategoryNames()) {
        EXPECT_TRUE(std::any_of(tree.begin(), tree.end(), [&](const CategoryNode& node) {
            return node.name == name && node.level > 0;
        })) << name.toStdString();
    }
}

QString runTool(const QStringList& arguments, int& exitCode)
{
    QProcess process;
    process.start(QStringLiteral(VARINDEL_BIN_DIR "/varindel-edition"), arguments);
    process.waitForFinished(120000);
    exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

TEST(FirmCount, TheToolWritesTheCountAskedForAndRefusesABadOne)
{
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("datakrv.abs"));
    int code = -1;
    for (const char* count : {"0", "-5", "много", "1000001"}) {
        EXPECT_TRUE(runTool({"generate", "--edition", "2", path, "--scale", "0.03", "--firm-count", count}, code)
                        .contains("--firm-count"))
            << count;
        EXPECT_NE(code, 0) << count;
    }
    EXPECT_FALSE(QFile::exists(path));

    runTool({"generate", "--edition", "2", path, "--scale", "0.03", "--firm-count", "700"}, code);
    ASSERT_EQ(code, 0);
    const QString counted =
        runTool({"sql", path, "--edition", "2", "SELECT count(*) AS N FROM FIRMS WHERE TypeID=2"}, code);
    ASSERT_EQ(code, 0) << counted.toStdString();
    EXPECT_EQ(counted.split('\n', Qt::SkipEmptyParts).value(1).trimmed(), QStringLiteral("700"));
}
