#include "HugePageHeap.h"

#include <gtest/gtest.h>

TEST(HugePageHeap, TheTunableJoinsWhatTheUserSetAndNeverTwice) {
    EXPECT_EQ(TunablesWithHugePageHeap(nullptr), "glibc.malloc.hugetlb=1");
    EXPECT_EQ(TunablesWithHugePageHeap(""), "glibc.malloc.hugetlb=1");
    EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.check=3"),
              "glibc.malloc.check=3:glibc.malloc.hugetlb=1");
    // The user's own choice of paging stays, and a restarted host finds its
    // own setting and does not start again.
    EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.hugetlb=0"), std::nullopt);
    EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.check=3:glibc.malloc.hugetlb=1"), std::nullopt);
}

TEST(HugePageHeap, OnlyAKernelThatGivesHugePagesOnRequestIsWorthAStart) {
    EXPECT_TRUE(HugePagesOnRequest("always [madvise] never\n"));
    EXPECT_FALSE(HugePagesOnRequest("[always] madvise never\n"));
    EXPECT_FALSE(HugePagesOnRequest("always madvise [never]\n"));
    EXPECT_FALSE(HugePagesOnRequest(""));
}
