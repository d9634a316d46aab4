#include "storage/paged/KPoolCompress.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// A page of mesh-like content: coordinates with structure and some labels.
std::vector<char> modelPage(size_t bytes) {
  std::vector<char> page(bytes);
  size_t i = 0;
  for (int node = 0; i + 32 <= bytes; ++node) {
    double xyz[3] = {node * 0.25, std::sin(node * 0.01) * 10.0, 3.0};
    std::memcpy(&page[i], xyz, sizeof xyz);
    std::memcpy(&page[i + 24], node % 7 ? "NODE    " : "ELEMENT ", 8);
    i += 32;
  }
  return page;
}

TEST(KPoolCompressTest, RoundTripsAtEveryLevelWithAllAllocationsFromThePool) {
  std::vector<char> source = modelPage(32000);
  std::vector<char> packed(32050), unpacked(32001);
  PoolResetFallbackCount();
  for (int level = 1; level <= 9; ++level) {
    unsigned long packedLen = packed.size();
    ASSERT_EQ(PoolCompress(packed.data(), &packedLen, source.data(), source.size(), level, KCompressionPool(),
                           kCompressionPoolSize), Z_OK) << level;
    unsigned long unpackedLen = unpacked.size();
    ASSERT_EQ(PoolUncompress(unpacked.data(), &unpackedLen, packed.data(), packedLen, KCompressionPool(),
                             kCompressionPoolSize), Z_OK) << level;
    ASSERT_EQ(unpackedLen, source.size());
    EXPECT_EQ(std::memcmp(unpacked.data(), source.data(), source.size()), 0) << level;
  }
  EXPECT_EQ(PoolFallbackCount(), 0);
}

TEST(KPoolCompressTest, OutputIsAPlainZlibStream) {
  std::vector<char> source = modelPage(5000);
  std::vector<char> packed(6000), unpacked(5000);
  unsigned long packedLen = packed.size();
  ASSERT_EQ(PoolCompress(packed.data(), &packedLen, source.data(), source.size(), 6, KCompressionPool(),
                         kCompressionPoolSize), Z_OK);
  uLongf unpackedLen = unpacked.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(unpacked.data()), &unpackedLen,
                       reinterpret_cast<Bytef*>(packed.data()), packedLen), Z_OK);
  EXPECT_EQ(unpacked, source);
}

TEST(KPoolCompressTest, SmallOrMissingPoolsFallBackToTheHeapAndStillWork) {
  std::vector<char> source = modelPage(32000);
  std::vector<char> packed(32050), unpacked(32000);
  std::vector<char> tiny(1000);
  for (auto [base, size] : {std::pair<void*, size_t>{nullptr, 0}, {tiny.data(), tiny.size()}}) {
    PoolResetFallbackCount();
    unsigned long packedLen = packed.size();
    ASSERT_EQ(PoolCompress(packed.data(), &packedLen, source.data(), source.size(), 9, base, size), Z_OK);
    unsigned long unpackedLen = unpacked.size();
    ASSERT_EQ(PoolUncompress(unpacked.data(), &unpackedLen, packed.data(), packedLen, base, size), Z_OK);
    EXPECT_EQ(unpacked, source);
    EXPECT_GT(PoolFallbackCount(), 0);
  }
}

TEST(KPoolCompressTest, ReportsZlibErrors) {
  std::vector<char> source = modelPage(32000);
  std::vector<char> packed(32050), unpacked(32001);
  void* pool = KCompressionPool();
  unsigned long small = 10;
  EXPECT_EQ(PoolCompress(packed.data(), &small, source.data(), source.size(), 1, pool, kCompressionPoolSize),
            Z_BUF_ERROR);
  unsigned long packedLen = packed.size();
  EXPECT_EQ(PoolCompress(packed.data(), &packedLen, source.data(), source.size(), 10, pool, kCompressionPoolSize),
            Z_STREAM_ERROR);
  ASSERT_EQ(PoolCompress(packed.data(), &packedLen, source.data(), source.size(), 1, pool, kCompressionPoolSize),
            Z_OK);

  unsigned long room = 100;
  EXPECT_EQ(PoolUncompress(unpacked.data(), &room, packed.data(), packedLen, pool, kCompressionPoolSize), Z_BUF_ERROR);
  room = unpacked.size();
  EXPECT_EQ(PoolUncompress(unpacked.data(), &room, packed.data(), packedLen - 5, pool, kCompressionPoolSize),
            Z_DATA_ERROR);
  packed[packedLen - 1] ^= 0x55;  // the Adler-32 trailer
  room = unpacked.size();
  EXPECT_EQ(PoolUncompress(unpacked.data(), &room, packed.data(), packedLen, pool, kCompressionPoolSize),
            Z_DATA_ERROR);
}

TEST(KPoolCompressTest, EachThreadHasItsOwnPool) {
  void* mine = KCompressionPool();
  void* theirs = nullptr;
  std::thread([&] { theirs = KCompressionPool(); }).join();
  ASSERT_NE(mine, nullptr);
  EXPECT_NE(mine, theirs);
  EXPECT_EQ(KCompressionPool(), mine);
}

}  // namespace
