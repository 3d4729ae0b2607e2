#pragma once

namespace veradex {

// The windows of the mail clients the capture drives.
enum MailClientWindow {
  kOutlookExpressMain,
  kOutlookExpressSaveDialog,
  kThunderbirdMain,
  kThunderbirdSaveDialog,
  kThunderbirdFolderChooser,  // opened instead of the save dialog for several messages
  kMailClientWindowCount
};

// How one of them shows itself: its Windows classes and title, and what the
// same window looks like under X11. Titles are UTF-8; under X11 a title
// matches when it begins with one of the prefixes (the client appends the
// main window's title to its dialogs').
struct MailClientWindowLook {
  MailClientWindow window;
  const char* windowsClasses[3];  // nullptr-terminated, the first tried first
  const char* windowsTitle;       // nullptr: any title
  bool onX11;                     // false: the client has no such window there
  const char* x11Name;            // WM_CLASS res_name, exact; nullptr: any
  const char* x11Class;           // beginning of WM_CLASS res_class, any case
  const char* titlePrefixes[3];   // nullptr-terminated; none: any title
};

// The table, one row per MailClientWindow in that order.
extern const MailClientWindowLook kMailClientWindowLooks[kMailClientWindowCount];

}  // namespace veradex
