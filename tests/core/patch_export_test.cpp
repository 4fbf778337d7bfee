#include "rom/patch_export.h"

#include <gtest/gtest.h>

#include "rom/crc32.h"
#include "rom/ips_patch.h"
#include "test_files.h"

namespace kestra {
namespace {

using testing::FakeFiles;

Bytes original() {
    Bytes b(0x800);
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7);
    return b;
}

TEST(PatchExport, WritesThePatchFromOpenedToNowWithTheOriginalsCrc) {
    testing::TempDir dir;
    Bytes opened = original();
    Bytes changed = opened;
    changed[0x10] ^= 0xFF;
    changed[0x400] ^= 0x01;
    changed[0x401] ^= 0x01;
    std::string rom = dir.write("game.nsf", changed);
    FakeFiles files;
    files.nextSave = dir.file("game");  // the extension is added
    testing::FakeMessages messages;

    ASSERT_TRUE(exportPatch(opened, FileState{.path = rom, .identity = {}}, files, messages));
    EXPECT_EQ(files.suggested, dir.file("game.ips"));
    auto patch = readFileBytes(dir.file("game.ips"));
    ASSERT_TRUE(patch) << patch.error();
    auto applied = applyIpsPatch(opened, *patch);
    ASSERT_TRUE(applied) << applied.error();
    EXPECT_EQ(*applied, changed);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].title, kExportPatchTitle);
    const std::string& text = messages.boxes[0].text;
    EXPECT_NE(text.find("CRC32 of the original: " + crc32Text(crc32(opened))), std::string::npos)
        << text;
    EXPECT_NE(text.find("3 bytes changed in 2 records"), std::string::npos) << text;
}

TEST(PatchExport, RefusalsWriteNoFile) {
    struct Case {
        const char* name;
        Bytes onDisk;         // empty: the file is gone
        const char* answer;   // the save dialog's answer; null: cancelled
        bool asked;           // the save dialog was shown
        const char* message;  // part of the one message shown; null: none
    };
    Bytes changed = original();
    changed[3] ^= 0x80;
    Bytes longer = original();
    longer.push_back(0);
    const Case cases[] = {
        {"unchanged", original(), "out.ips", false, kNothingToExport},
        {"cancelled", changed, nullptr, true, nullptr},
        {"over the file itself", changed, "game.nsf", true, kPatchOverFile},
        {"size changed", longer, "out.ips", false, "size"},
        {"file gone", {}, "out.ips", false, "game.nsf"},
        {"folder missing", changed, "no/such/out.ips", true, "out.ips"},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        std::string rom = dir.file("game.nsf");
        if (!c.onDisk.empty()) dir.write("game.nsf", c.onDisk);
        FakeFiles files;
        if (c.answer) files.nextSave = dir.file(c.answer);
        testing::FakeMessages messages;

        EXPECT_FALSE(
            exportPatch(original(), FileState{.path = rom, .identity = {}}, files, messages))
            << c.name;
        EXPECT_EQ(files.saveAsked, c.asked ? 1 : 0) << c.name;
        if (c.message) {
            ASSERT_EQ(messages.boxes.size(), 1u) << c.name;
            EXPECT_NE(messages.boxes[0].text.find(c.message), std::string::npos)
                << c.name << ": " << messages.boxes[0].text;
        } else {
            EXPECT_TRUE(messages.boxes.empty()) << c.name;
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.ips"))) << c.name;
        if (!c.onDisk.empty()) {
            EXPECT_EQ(*readFileBytes(rom), c.onDisk) << c.name;  // the file itself untouched
        }
    }
}

}  // namespace
}  // namespace kestra
