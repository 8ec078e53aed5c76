#include "platform/shortcut.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::WriteFileBytes;

void PutU16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutUnicodeString(std::string& out, const std::string& ascii) {
  PutU16(out, static_cast<std::uint16_t>(ascii.size()));
  for (char c : ascii) PutU16(out, static_cast<unsigned char>(c));
}

// A shortcut as the shell writes one: header, an item list, LinkInfo with an ANSI local
// base path, then Unicode strings (relative path, working folder, arguments).
std::string MakeLink(const std::string& base_path, const std::string& relative,
                     const std::string& working_dir, const std::string& arguments) {
  std::string out;
  PutU32(out, 0x4C);
  const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  out.append(reinterpret_cast<const char*>(clsid), 16);
  PutU32(out, 0x01 | 0x02 | 0x08 | 0x10 | 0x20 | 0x80);  // flags
  out.append(0x4C - out.size(), '\0');                   // attributes, times, sizes, hot key
  PutU16(out, 4);                                        // item list of 4 bytes
  out += std::string("\x02\x00\x00\x00", 4);
  // LinkInfo: header of 0x1C bytes, a four-byte volume record, the base path and an empty
  // suffix.
  std::string info;
  const std::uint32_t volume_at = 0x1C;
  const std::uint32_t base_at = volume_at + 4;
  const std::uint32_t suffix_at = base_at + static_cast<std::uint32_t>(base_path.size()) + 1;
  const std::uint32_t size = suffix_at + 1;
  PutU32(info, size);
  PutU32(info, 0x1C);
  PutU32(info, 0x01);
  PutU32(info, volume_at);
  PutU32(info, base_at);
  PutU32(info, 0);
  PutU32(info, suffix_at);
  PutU32(info, 0);
  info += base_path + '\0' + '\0';
  out += info;
  PutUnicodeString(out, relative);
  PutUnicodeString(out, working_dir);
  PutUnicodeString(out, arguments);
  return out;
}

TEST(ShortcutTest, WindowsShortcutGivesTargetWorkingFolderAndArguments) {
  testing::TempDir dir;
  const fs::path lnk = dir.path() / "Art.LNK";
  WriteFileBytes(lnk, MakeLink("C:\\Art\\logo.png", "", "C:\\Art", "/x"));
  EXPECT_EQ(ResolveShortcut(lnk).text, "C:\\Art\\logo.png");
  EXPECT_EQ(ResolveShortcut(lnk, ShortcutField::kWorkingDir).text, "C:\\Art");
  EXPECT_EQ(ResolveShortcut(lnk, ShortcutField::kArguments).text, "/x");
}

TEST(ShortcutTest, RelativePathToAPictureBesideTheShortcutWins) {
  testing::TempDir dir;
  fs::create_directories(dir.path() / "art");
  WriteFileBytes(dir.path() / "art" / "logo.png", "png");
  const fs::path lnk = dir.path() / "logo.lnk";
  WriteFileBytes(lnk, MakeLink("D:\\Share\\art\\logo.png", ".\\art\\logo.png", "", ""));
  const ResolvedShortcut resolved = ResolveShortcut(lnk);
  ASSERT_TRUE(resolved.ok()) << resolved.error;
  EXPECT_EQ(resolved.text, (dir.path() / "art" / "logo.png").string());
}

TEST(ShortcutTest, EveryCutOfAShortcutIsReportedNeverMisread) {
  testing::TempDir dir;
  const std::string whole = MakeLink("C:\\Art\\logo.png", "logo.png", "C:\\Art", "");
  const fs::path lnk = dir.path() / "cut.lnk";
  for (std::size_t size = 0; size < whole.size(); ++size) {
    WriteFileBytes(lnk, whole.substr(0, size));
    const ResolvedShortcut resolved = ResolveShortcut(lnk);
    EXPECT_FALSE(resolved.ok()) << "cut at " << size;
    EXPECT_EQ(resolved.text, "");
  }
  // Offsets pointing outside the LinkInfo block.
  std::string bad = whole;
  bad[0x4C + 2 + 4 + 16] = '\x7F';
  WriteFileBytes(lnk, bad);
  EXPECT_FALSE(ResolveShortcut(lnk).ok());
  EXPECT_EQ(ResolveShortcut(dir.path() / "missing.lnk").error,
            "The file missing.lnk cannot be found.");
}

TEST(ShortcutTest, FreedesktopLinkGivesTheFileUrlsPath) {
  testing::TempDir dir;
  const fs::path link = dir.path() / "logo.desktop";
  WriteFileBytes(
      link, "[Desktop Entry]\r\nType=Link\r\nName=Logo\r\nURL=file:///srv/my%20art/logo.png\r\n");
  EXPECT_EQ(ResolveShortcut(link).text, "/srv/my art/logo.png");
  WriteFileBytes(link, "[Desktop Entry]\nType=Link\nURL=https://example.org/logo.png\n");
  EXPECT_FALSE(ResolveShortcut(link).ok());
  WriteFileBytes(link, "[Desktop Entry]\nType=Application\nExec=viewer\n");
  EXPECT_FALSE(ResolveShortcut(link).ok());
}

TEST(ShortcutTest, SymbolicLinksAreFollowedToTheEndAndPlainFilesStay) {
  testing::TempDir dir;
  const fs::path picture = dir.path() / "logo.png";
  WriteFileBytes(picture, "png");
  fs::create_symlink(picture, dir.path() / "one");
  fs::create_symlink(dir.path() / "one", dir.path() / "two.png");
  EXPECT_EQ(ResolveShortcut(dir.path() / "two.png").text, fs::canonical(picture).string());
  EXPECT_EQ(ResolveShortcut(picture).text, picture.string());
  fs::create_symlink(dir.path() / "gone.png", dir.path() / "dangling.png");
  EXPECT_FALSE(ResolveShortcut(dir.path() / "dangling.png").ok());
}

}  // namespace
}  // namespace kelvaro
