#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace veradex::test {

// A desktop with scripted mail clients and a virtual clock: pauses only move
// the clock. It records the keys pressed, the look-ups and the pauses, and
// writes the "saved" message where the name field says once the dialog is
// confirmed.
class FakeDesktop : public Desktop {
 public:
  struct Script {
    bool outlookExpress = false;
    bool outlookDialogOpens = true;  // Alt+F, A opens its save dialog
    bool thunderbird = false;
    int saveStrokesToOpen = 1;   // Ctrl+S presses until a dialog opens; 0 never
    bool folderChooser = false;  // it opens the folder chooser instead
    std::string proposedName = "Hello.eml";
    int emptyReads = 0;      // reads that find the field still empty
    bool pasteWorks = true;  // the name field takes the path
    int returnsToClose = 1;  // 0: Return never closes the dialog
    std::string content = "From: a@example.com\r\n\r\nbody\r\n";
  };
  // Window ids of the scripted windows.
  enum : Window { kOwn = 99 };

  explicit FakeDesktop(Script script);

  Window FindTopLevel(MailClientWindow which) override;
  bool BringToFront(Window window) override;
  void BringOwnWindowToFront() override;
  void SetTopMost(bool on) override;
  void PressKey(Key key) override;
  void ReleaseKey(Key key) override;
  std::string ReadNameField(Window dialog) override;
  bool SetNameField(Window dialog, const std::string& text) override;
  void Pause(int milliseconds) override;
  long long NowMilliseconds() override { return now_; }

  // "+Ctrl +S -S -Ctrl …": presses and releases in order, at the window
  // that had the keyboard ("@TB" etc. when it changed).
  std::string KeyLog() const { return keyLog_; }
  int Lookups(MailClientWindow which) const;
  int Pauses() const { return pauses_; }
  long long Now() const { return now_; }
  const std::vector<bool>& TopMostCalls() const { return topMost_; }
  const std::string& NameSet() const { return nameSet_; }
  bool IsOpen(MailClientWindow which) const { return open_.count(which) != 0 && open_.at(which); }

 private:
  static const char* KeyName(Key key);

  Script script_;
  std::map<MailClientWindow, bool> open_;
  std::map<MailClientWindow, int> lookups_;
  std::map<Key, bool> down_;
  Window focus_ = kOwn;
  Window lastLogged_ = kOwn;
  int saveStrokes_ = 0;
  int returns_ = 0;
  int reads_ = 0;
  int pauses_ = 0;
  long long now_ = 1000;
  std::vector<bool> topMost_;
  std::string nameSet_;
  std::string keyLog_;
};

}  // namespace veradex::test
