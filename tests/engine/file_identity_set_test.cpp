// A file reached twice counts once; files that only look alike stay apart.

#include "engine/duplicates/file_identity_set.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tarnwick {
namespace {

TEST(FileIdentitySetTest, OneFileCountsOnceAndOthersStayApart) {
  FileIdentitySet set;
  EXPECT_TRUE(set.Insert(1, 100));
  EXPECT_FALSE(set.Insert(1, 100));
  // The same inode number on another device is another file.
  EXPECT_TRUE(set.Insert(2, 100));
  EXPECT_FALSE(set.Insert(2, 100));
  // Inode 0 marks an empty slot inside the table; it is still a file of its own.
  EXPECT_TRUE(set.Insert(1, 0));
  EXPECT_FALSE(set.Insert(1, 0));
  EXPECT_TRUE(set.Insert(2, 0));
}

TEST(FileIdentitySetTest, InodesBeyond32BitsKeepEveryEarlierFile) {
  FileIdentitySet set;
  for (std::uint64_t inode = 1; inode <= 5000; ++inode) ASSERT_TRUE(set.Insert(3, inode));
  const std::uint64_t wide = (std::uint64_t{1} << 32) + 7;
  EXPECT_TRUE(set.Insert(3, wide));
  EXPECT_FALSE(set.Insert(3, wide));
  // Its low 32 bits are those of a file already met: it is still another file.
  EXPECT_TRUE(set.Insert(3, wide - 7 + 4096 + 7));
  EXPECT_FALSE(set.Insert(3, 4103));
  for (std::uint64_t inode = 1; inode <= 5000; ++inode) ASSERT_FALSE(set.Insert(3, inode));
  for (std::uint64_t inode = 5001; inode <= 9000; ++inode) ASSERT_TRUE(set.Insert(3, inode));
  // Another device's table stays narrow and apart.
  EXPECT_TRUE(set.Insert(4, 4103));

  set.Clear();
  EXPECT_TRUE(set.Insert(3, wide));
  EXPECT_TRUE(set.Insert(3, 1));
}

}  // namespace
}  // namespace tarnwick
