// The capture of a mail client's message, against scripted clients on a
// desktop whose clock only moves when the capture pauses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "platform/Cp949.h"
#include "platform/LockedRandom.h"
#include "platform/NativePath.h"
#include "report/MailClientCapture.h"
#include "support/FakeDesktop.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

using test::FakeDesktop;

class RecordingHost : public MailClientCapture::Host {
 public:
  explicit RecordingHost(int rows) : rows_(rows) {}
  int AttachmentCount() override { return rows_; }
  void SaveFields() override { ++saves; }
  void LoadFields() override { ++loads; }
  void AddFile(const std::string& path) override { added.push_back(path); }
  int saves = 0, loads = 0;
  std::vector<std::string> added;

 private:
  int rows_;
};

enum Outcome { kAdded, kLimit, kFailure, kOneMessageOnly };

struct Case {
  const char* name;
  FakeDesktop::Script script;
  int rows;
  Outcome outcome;
  const char* keysStart;     // the key log begins so
  int outlookDialogLookups;  // -1: not checked
  int saveKeyStrokes;        // Ctrl+S presses to Thunderbird; -1: not checked
  long long maxMilliseconds;
};

FakeDesktop::Script Clients(bool outlook, bool thunderbird) {
  FakeDesktop::Script script;
  script.outlookExpress = outlook;
  script.thunderbird = thunderbird;
  return script;
}

TEST(MailClientCapture, ChoosesTheClientDrivesItsDialogAndAttachesTheSavedFile) {
  auto script = [](auto change) {
    FakeDesktop::Script s = Clients(false, true);
    change(s);
    return s;
  };
  const Case cases[] = {
      {"both clients: Outlook Express", Clients(true, true), 0, kAdded,
       "@OE +Alt +F -F -Alt +A -A @OEsave +Alt +S -S -Alt", 2, 0, 410},
      {"Outlook Express dialog never appears: Thunderbird",
       [] {
         FakeDesktop::Script s = Clients(true, true);
         s.outlookDialogOpens = false;
         return s;
       }(),
       0, kAdded, "@OE +Alt +F -F -Alt +A -A @TB +Ctrl +S -S -Ctrl @TBsave +Return -Return", 502, 1, 5020 + 600},
      {"Thunderbird opens on the second Ctrl+S", script([](auto& s) { s.saveStrokesToOpen = 2; }), 0, kAdded,
       "@TB +Ctrl +S -S -Ctrl +Ctrl +S -S -Ctrl @TBsave +Return", -1, 2, 1700},
      {"Return needed twice", script([](auto& s) { s.returnsToClose = 2; }), 0, kAdded,
       "@TB +Ctrl +S -S -Ctrl @TBsave +Return -Return +Return -Return", -1, 1, 1700},
      {"Outlook Express: path not taken by the name field: dialog closed, nothing added",
       [] {
         FakeDesktop::Script s = Clients(true, false);
         s.pasteWorks = false;
         return s;
       }(),
       0, kFailure, "@OE +Alt +F -F -Alt +A -A @OEsave +Escape -Escape", 1, 0, 300},
      {"neither client", Clients(false, false), 0, kFailure, "", 0, 0, 0},
      {"five rows: only the limit message", Clients(true, true), 5, kLimit, "", 0, 0, 0},
      {"several messages selected: folder chooser closed", script([](auto& s) { s.folderChooser = true; }), 0,
       kOneMessageOnly, "@TB +Ctrl +S -S -Ctrl @TBfolder +Escape -Escape", -1, 1, 200},
      {"Thunderbird dialog never opens: bounded", script([](auto& s) { s.saveStrokesToOpen = 0; }), 0, kFailure,
       "@TB +Ctrl +S", -1, 6, MailClientCapture::kThunderbirdBudget + 200},
      {"path not taken by the name field: dialog closed, nothing added", script([](auto& s) { s.pasteWorks = false; }),
       0, kFailure, "@TB +Ctrl +S -S -Ctrl @TBsave +Escape -Escape", -1, 1, 200},
      {"dialog stays open: closed, nothing added", script([](auto& s) { s.returnsToClose = 0; }), 0, kFailure,
       "@TB +Ctrl +S -S -Ctrl @TBsave +Return", -1, 1, MailClientCapture::kThunderbirdBudget + 1200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir programDir;
    std::filesystem::create_directory(programDir.Path() + "/temp");
    test::RecordingMessageSink sink;
    test::ScopedMessageSink scoped(&sink);
    FakeDesktop desktop(c.script);
    RecordingHost host(c.rows);
    const long long start = desktop.Now();
    MailClientCapture(desktop, "help@dunmere.example").OnCapture(host, programDir.Path() + NativePath::kSeparator);

    EXPECT_EQ(desktop.KeyLog().compare(0, std::strlen(c.keysStart), c.keysStart), 0) << desktop.KeyLog();
    EXPECT_LE(desktop.Now() - start, c.maxMilliseconds);
    if (c.outlookDialogLookups >= 0) {
      EXPECT_EQ(desktop.Lookups(kOutlookExpressSaveDialog), c.outlookDialogLookups);
    }
    if (c.saveKeyStrokes >= 0) {
      std::size_t strokes = 0;
      for (std::size_t at = 0; (at = desktop.KeyLog().find("+Ctrl +S", at)) != std::string::npos; ++at) ++strokes;
      EXPECT_EQ(static_cast<int>(strokes), c.saveKeyStrokes);
    }
    const std::vector<std::string> texts = sink.Texts();
    switch (c.outcome) {
      case kAdded: {
        EXPECT_TRUE(texts.empty());
        ASSERT_EQ(host.added.size(), 1u);
        const std::string& path = host.added[0];
        const std::string name = path.substr(programDir.Path().size() + 6);  // after "/temp/"
        EXPECT_EQ(path.compare(0, programDir.Path().size() + 6, programDir.File("temp") + NativePath::kSeparator), 0);
        EXPECT_EQ(name.substr(0, 9), "Hello.eml");
        EXPECT_EQ(name.size(), 9u + 8u);
        EXPECT_EQ(name.find_first_not_of("0123456789ABCDEF", 9), 13u);
        EXPECT_EQ(name.substr(13), ".eml");
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(desktop.TopMostCalls(), (std::vector<bool>{true, false}));
        break;
      }
      case kLimit:
        EXPECT_EQ(texts, std::vector<std::string>{MailClientCapture::LimitText()});
        EXPECT_EQ(host.saves, 0);
        EXPECT_TRUE(desktop.TopMostCalls().empty());
        break;
      case kFailure:
      case kOneMessageOnly: {
        const std::string expected = c.outcome == kFailure
                                         ? MailClientCapture(desktop, "help@dunmere.example").FailureText()
                                         : MailClientCapture::WrongSelectionText();
        EXPECT_EQ(texts, std::vector<std::string>{expected});
        EXPECT_TRUE(host.added.empty());
        EXPECT_EQ(desktop.TopMostCalls(), (std::vector<bool>{true, false}));
        // Nothing is left open in the user's mail client.
        EXPECT_FALSE(desktop.IsOpen(kOutlookExpressSaveDialog));
        EXPECT_FALSE(desktop.IsOpen(kThunderbirdSaveDialog));
        EXPECT_FALSE(desktop.IsOpen(kThunderbirdFolderChooser));
        break;
      }
    }
    if (c.outcome != kLimit) {
      EXPECT_EQ(host.loads, 1);
    }
  }
}

TEST(MailClientCapture, FileNamesCarryTheTagAndFitTheLimits) {
  EXPECT_EQ(MailClientCapture::Tag(10), "000A");
  EXPECT_EQ(MailClientCapture::Tag(32767), "7FFF");
  EXPECT_EQ(MailClientCapture::Tag(0), "0000");
  EXPECT_EQ(MailClientCapture::SavedFilePath("/p/temp/", "Hello.eml", 419), "/p/temp/Hello.eml01A3.eml");
  EXPECT_EQ(MailClientCapture::SavedFilePath("/p/temp/", "a/b.eml", 1), "/p/temp/a_b.eml0001.eml");

  // A long Korean subject: cut between characters, the tag and ".eml" kept.
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += "광";
  const std::string path = MailClientCapture::SavedFilePath("/p/temp/", longName, 0x1A2B);
  const std::string name = path.substr(8);
  EXPECT_LE(name.size(), MailClientCapture::kNameLimit);
  EXPECT_EQ(name.substr(name.size() - 8), "1A2B.eml");
  EXPECT_EQ((name.size() - 8) % 3, 0u);
  // Code page 949 (the file system's encoding on Windows): a trail byte may
  // be an ASCII letter ("갂" is 81 41), so the cut counts from the start.
  const std::string doubleByte = Cp949::FromUtf8("a갂갂b갂");
  for (std::size_t room = 0; room <= doubleByte.size(); ++room) {
    static const std::size_t kBoundaries[] = {0, 1, 3, 5, 6, 8};
    const std::size_t cut = MailClientCapture::CharacterCut(doubleByte, room, true);
    EXPECT_EQ(cut, *std::prev(std::upper_bound(std::begin(kBoundaries), std::end(kBoundaries), room))) << room;
  }
  const std::string deepFolder = "/" + std::string(1000, 'd') + "/";
  EXPECT_LE(MailClientCapture::SavedFilePath(deepFolder, longName, 5).size(), MailClientCapture::kPathLimit);

  // An empty proposed name leaves the tag alone in the temporary folder.
  test::TempDir programDir;
  std::filesystem::create_directory(programDir.Path() + "/temp");
  FakeDesktop::Script script = Clients(false, true);
  script.proposedName.clear();
  FakeDesktop desktop(script);
  RecordingHost host(0);
  LockedRandom::Seed(7);
  const int expected = LockedRandom::Next();
  LockedRandom::Seed(7);
  test::ScopedMessageSink scoped(nullptr);
  MailClientCapture(desktop, "x").OnCapture(host, programDir.Path() + NativePath::kSeparator);
  ASSERT_EQ(host.added.size(), 1u);
  EXPECT_EQ(host.added[0],
            programDir.File("temp") + NativePath::kSeparator + MailClientCapture::Tag(expected) + ".eml");
}

}  // namespace
}  // namespace veradex
