#include "rom/ips_patch.h"

#include <gtest/gtest.h>

#include <random>

#include "rom/crc32.h"
#include "test_files.h"

namespace kestra {
namespace {

// Offsets of the records of a patch, read independently of the applier.
std::vector<std::uint32_t> recordOffsets(const Bytes& p) {
    std::vector<std::uint32_t> offsets;
    size_t i = 5;
    while (i + 3 <= p.size()) {
        std::uint32_t off = static_cast<std::uint32_t>(p[i] << 16 | p[i + 1] << 8 | p[i + 2]);
        if (off == kIpsEofOffset) break;
        std::uint32_t size = static_cast<std::uint32_t>(p[i + 3] << 8 | p[i + 4]);
        EXPECT_GT(size, 0u);
        EXPECT_LE(size, kIpsMaxRecord);
        offsets.push_back(off);
        i += 5 + size;
    }
    EXPECT_EQ(i + 3, p.size()) << "the patch must end right after its EOF footer";
    return offsets;
}

TEST(IpsPatch, RandomChangesRoundTrip) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 60; ++round) {
        size_t size = 1 + rng() % 200000;
        Bytes original(size);
        for (auto& b : original) b = static_cast<std::uint8_t>(rng());
        Bytes changed = original;
        int edits = static_cast<int>(rng() % 40);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % size;
            // Short scattered changes and long runs that need several records.
            size_t len = (rng() % 4 == 0) ? rng() % 150000 : 1 + rng() % 8;
            for (size_t i = at; i < std::min(size, at + len); ++i)
                changed[i] = static_cast<std::uint8_t>(rng());
        }
        auto patch = makeIpsPatch(original, changed);
        ASSERT_TRUE(patch) << patch.error();
        recordOffsets(patch->bytes);
        auto applied = applyIpsPatch(original, patch->bytes);
        ASSERT_TRUE(applied) << applied.error();
        EXPECT_EQ(*applied, changed) << "round " << round;
    }
}

TEST(IpsPatch, IdenticalFilesGiveAnEmptyPatch) {
    Bytes a(100, 7);
    auto patch = makeIpsPatch(a, a);
    ASSERT_TRUE(patch);
    EXPECT_EQ(std::string(patch->bytes.begin(), patch->bytes.end()), "PATCHEOF");
    EXPECT_EQ(patch->records, 0);
}

TEST(IpsPatch, NoRecordStartsAtTheEofOffset) {
    struct Case {
        std::vector<std::uint32_t> changedAt;
        std::uint32_t expectedStart;
    };
    for (const Case& c : std::initializer_list<Case>{
             {{kIpsEofOffset}, kIpsEofOffset - 1},
             {{kIpsEofOffset, kIpsEofOffset + 1}, kIpsEofOffset - 1},
             {{kIpsEofOffset - 1}, kIpsEofOffset - 1},
         }) {
        Bytes original(kIpsEofOffset + 16, 0);
        Bytes changed = original;
        for (auto at : c.changedAt) changed[at] = 0x55;
        auto patch = makeIpsPatch(original, changed);
        ASSERT_TRUE(patch);
        auto offsets = recordOffsets(patch->bytes);
        ASSERT_EQ(offsets.size(), 1u);
        EXPECT_EQ(offsets[0], c.expectedStart);
        auto applied = applyIpsPatch(original, patch->bytes);
        ASSERT_TRUE(applied);
        EXPECT_EQ(*applied, changed);
    }
    // A change right after a full-size record also lands on the EOF offset.
    Bytes original(kIpsEofOffset + 16, 0);
    Bytes changed = original;
    for (std::uint32_t i = kIpsEofOffset - kIpsMaxRecord; i <= kIpsEofOffset; ++i) changed[i] = 1;
    auto patch = makeIpsPatch(original, changed);
    ASSERT_TRUE(patch);
    for (auto off : recordOffsets(patch->bytes)) EXPECT_NE(off, kIpsEofOffset);
    EXPECT_EQ(*applyIpsPatch(original, patch->bytes), changed);
}

TEST(IpsPatch, Refusals) {
    auto sizes = makeIpsPatch(Bytes(10), Bytes(11));
    ASSERT_FALSE(sizes);
    EXPECT_NE(sizes.error().find("differ in size (10 and 11 bytes)"), std::string::npos);

    Bytes big(kIpsOffsetLimit + 4, 0);
    Bytes bigChanged = big;
    bigChanged[kIpsOffsetLimit + 1] = 1;
    auto far = makeIpsPatch(big, bigChanged);
    ASSERT_FALSE(far);
    EXPECT_NE(far.error().find("1000001"), std::string::npos) << far.error();

    EXPECT_FALSE(applyIpsPatch(Bytes(4), Bytes{'P', 'A', 'T', 'C', 'X', 'E', 'O', 'F'}));
    EXPECT_FALSE(applyIpsPatch(Bytes(4), Bytes{'P', 'A', 'T', 'C', 'H', 0, 0, 1, 0, 5, 1}));
    EXPECT_FALSE(applyIpsPatch(Bytes(4), Bytes{'P', 'A', 'T', 'C', 'H', 0, 0}));
}

TEST(IpsPatch, AppliesRunLengthRecords) {
    Bytes patch{'P', 'A', 'T', 'C', 'H', 0, 0, 2, 0, 0, 0, 3, 0xAB, 'E', 'O', 'F'};
    auto applied = applyIpsPatch(Bytes(6, 0), patch);
    ASSERT_TRUE(applied);
    EXPECT_EQ(*applied, (Bytes{0, 0, 0xAB, 0xAB, 0xAB, 0}));
}

TEST(Crc32, KnownValues) {
    EXPECT_EQ(crc32Text(crc32(Bytes{})), "00000000");
    std::string check = "123456789";
    EXPECT_EQ(crc32Text(crc32(Bytes(check.begin(), check.end()))), "CBF43926");
}

}  // namespace
}  // namespace kestra
