#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/LinkTarget.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

namespace fs = std::filesystem;

TEST(LinkTarget, SymbolicLinksAreFollowedToTheEnd) {
  test::TempDir dir;
  const std::string target = dir.Write("real/a.eml", "x");
  fs::create_symlink("real/a.eml", dir.File("relative.eml"));  // counts from the link's folder
  fs::create_symlink(dir.File("relative.eml"), dir.File("chain.eml"));
  fs::create_symlink(dir.File("loop2"), dir.File("loop1"));
  fs::create_symlink(dir.File("loop1"), dir.File("loop2"));

  EXPECT_EQ(fs::canonical(LinkTarget::Resolve(dir.File("relative.eml"))), fs::canonical(target));
  EXPECT_EQ(fs::canonical(LinkTarget::Resolve(dir.File("chain.eml"))), fs::canonical(target));
  EXPECT_EQ(LinkTarget::Resolve(target), "");
  EXPECT_EQ(LinkTarget::Resolve(dir.File("missing.eml")), "");
  EXPECT_NE(LinkTarget::Resolve(dir.File("loop1")), "");  // gives up after a bounded number of steps
}

TEST(LinkTarget, DesktopLinksLeadOnlyToLocalFiles) {
  test::TempDir dir;
  const struct {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"plain.desktop", "[Desktop Entry]\nType=Link\nURL=file:///m/a%20b.eml\n", "/m/a b.eml"},
      {"local.DESKTOP", " [Desktop Entry]\r\nType=Link \r\nURL=FILE://localhost/m/c.msg\r\n", "/m/c.msg"},
      {"remote.desktop", "[Desktop Entry]\nType=Link\nURL=file://server/m/d.eml\n", ""},
      {"app.desktop", "[Desktop Entry]\nType=Application\nURL=file:///m/e.eml\n", ""},
      {"other.desktop", "[Other]\nType=Link\nURL=file:///m/f.eml\n", ""},
      {"link.txt", "[Desktop Entry]\nType=Link\nURL=file:///m/g.eml\n", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(LinkTarget::Resolve(dir.Write(row.name, row.text)), row.expected) << row.name;
}

}  // namespace
}  // namespace veradex
