#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkx.h>
#include <webkit2/webkit2.h>

#include <deque>
#include <string>
#include <vector>

namespace veradex {

// The browser process's side: a web view in a window embedded into the
// report window (an X11 plug in its socket), driven by the lines of
// BrowserProtocol on standard input, telling what happens on standard
// output. Ends when its input ends, "quit" comes or the socket goes.
class BrowserPlug {
 public:
  explicit BrowserPlug(unsigned long socketId);
  ~BrowserPlug();
  BrowserPlug(const BrowserPlug&) = delete;
  BrowserPlug& operator=(const BrowserPlug&) = delete;

 private:
  static gboolean OnInput(GIOChannel* channel, GIOCondition condition, gpointer self);
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent event, gchar* uri, GError* error, gpointer self);
  static gboolean OnTlsErrors(WebKitWebView* view, gchar* uri, GTlsCertificate* certificate,
                              GTlsCertificateFlags errors, gpointer self);
  static void OnNotify(GObject* object, GParamSpec* property, gpointer self);
  static void OnScriptDone(GObject* view, GAsyncResult* result, gpointer data);
  static gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self);

  // Reads what standard input holds (without waiting) into complete lines;
  // false at its end.
  bool ReadInput();
  void HandleLines();
  // Waits (a while) for the window's answer to a question: its words, or
  // none. Lines that came before it are kept for later.
  std::vector<std::string> AwaitAnswer();
  void HandleLinesSoon();
  void Handle(const std::vector<std::string>& words);
  void Say(const std::vector<std::string>& words);
  void End();

  unsigned long socketId_ = 0;
  GtkWidget* plug_ = nullptr;
  WebKitWebView* view_ = nullptr;
  GIOChannel* input_ = nullptr;
  guint inputWatch_ = 0;
  std::string partial_;
  std::deque<std::string> lines_;
  bool ended_ = false;
};

}  // namespace veradex
