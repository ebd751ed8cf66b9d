// Version words, their comparison without the platform byte, and their text.
#include "support/Version.h"

#include <gtest/gtest.h>

TEST(Version, WordComparisonWithoutPlatformAndText) {
  EXPECT_EQ(Version(0, 1).word(), 0x10000u);
  EXPECT_EQ(Version(0, 1, 0, 4), Version(0, 1));
  EXPECT_LT(Version(0, 1), Version(0, 1, 1));
  EXPECT_LT(Version(0, 9, 9, 9), Version(1, 0));
  EXPECT_FALSE(Version(1, 0, 0, 1) < Version(1, 0, 0, 0));
  EXPECT_EQ(Version(0, 1).text(), "0.1");
  EXPECT_EQ(Version(1, 2, 3).text(), "1.2.3");
  EXPECT_EQ(Version(1, 2, 0, 2).text(), "1.2 (X Windows)");
  EXPECT_EQ(Version(3, 0, 1, 4).text(), "3.0.1 (MS Windows 32 bit)");
  EXPECT_EQ(Version(3, 0, 0, 9).text(), "3.0 (Unrecognized)");
}
