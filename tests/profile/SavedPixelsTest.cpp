#include "profile/SavedPixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "errors/Exceptions.h"

namespace {

TEST(SavedPixels, PutsTheKeptBytesBackNewestFirstOnceAndAtTheLatestWhenItGoes) {
  std::vector<uint8_t> host{1, 2, 3, 4, 5, 6, 7};
  {
    TSavedPixels saved;
    EXPECT_FALSE(saved.Restore());
    saved.Start();
    EXPECT_TRUE(saved.Saved());
    // A three-byte pixel, then one byte of it marked again over the first mark.
    saved.Keep(&host[1], 3);
    host[1] = host[2] = host[3] = 0;
    saved.Keep(&host[2], 1);
    host[2] = 9;
    saved.Keep(&host[6], 1);
    host[6] = 8;
    EXPECT_EQ(saved.Count(), 3u);
    EXPECT_TRUE(saved.Restore());
    EXPECT_EQ(host, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(saved.Count(), 0u);
    host[0] = 0;
    EXPECT_FALSE(saved.Restore());
    EXPECT_EQ(host[0], 0);

    // A record without a mark still counts as saved: the host is told on restore.
    saved.Start();
    EXPECT_TRUE(saved.Restore());

    saved.Start();
    // Room that cannot be had is refused before any mark, as the system's memory error.
    EXPECT_THROW(saved.Reserve(SIZE_MAX / 4), EOutOfMemory);
    saved.Reserve(2);
    saved.Keep(&host[4], 2);
    host[4] = host[5] = 0;
    // A new record first puts the old one back: marks never become the "clean" bytes.
    saved.Start();
    EXPECT_EQ(host[4], 5);
    saved.Keep(&host[3], 1);
    host[3] = 0;
  }
  EXPECT_EQ(host, (std::vector<uint8_t>{0, 2, 3, 4, 5, 6, 7}));
}

}  // namespace
