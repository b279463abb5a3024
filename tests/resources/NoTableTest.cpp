// A program linked without velmora_resources has no table and finds nothing.
#include <gtest/gtest.h>

#include "platform/Resources.h"

TEST(ResourcesWithoutTable, FindsNothing) {
  EXPECT_TRUE(Platform::ResourceTable().empty());
  EXPECT_TRUE(Platform::FindResource(L"ZIPRES", 147).empty());
}
