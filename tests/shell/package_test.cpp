#include "Package.h"

#include <QLibrary>

#include <gtest/gtest.h>

TEST(Package, ExportsTheEntryPointsTheHostResolves)
{
    QLibrary package(QString(VARINDEL_BIN_DIR) + "/libvarindel.so");
    ASSERT_TRUE(package.load()) << package.errorString().toStdString();
    EXPECT_NE(package.resolve(kPackageLoadSymbol), nullptr);
    EXPECT_NE(package.resolve(kPackageUnloadSymbol), nullptr);
}
