#include "ui/browser/BrowserPlug.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "ui/browser/BrowserProtocol.h"
#include "ui/browser/PemChain.h"

#include <gdk/gdkx.h>

namespace veradex {

namespace {

// How long a certificate question waits for the report window's answer.
constexpr int kAnswerWaitMs = 10000;

struct ScriptCall {
  BrowserPlug* plug;
  std::string number;
};

}  // namespace

BrowserPlug::BrowserPlug(unsigned long socketId) : socketId_(socketId) {
  plug_ = gtk_plug_new(static_cast<Window>(socketId));
  view_ = WEBKIT_WEB_VIEW(webkit_web_view_new());
  gtk_container_add(GTK_CONTAINER(plug_), GTK_WIDGET(view_));
  g_signal_connect(plug_, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                     static_cast<BrowserPlug*>(self)->plug_ = nullptr;
                     static_cast<BrowserPlug*>(self)->End();
                   }),
                   this);
  g_signal_connect(plug_, "key-press-event", G_CALLBACK(&BrowserPlug::OnKey), this);
  g_signal_connect(plug_, "key-release-event", G_CALLBACK(&BrowserPlug::OnKey), this);
  g_signal_connect(view_, "load-changed", G_CALLBACK(&BrowserPlug::OnLoadChanged), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(&BrowserPlug::OnLoadFailed), this);
  g_signal_connect(view_, "load-failed-with-tls-errors", G_CALLBACK(&BrowserPlug::OnTlsErrors), this);
  g_signal_connect(view_, "notify::title", G_CALLBACK(&BrowserPlug::OnNotify), this);
  g_signal_connect(view_, "notify::uri", G_CALLBACK(&BrowserPlug::OnNotify), this);
  g_signal_connect(view_, "notify::is-loading", G_CALLBACK(&BrowserPlug::OnNotify), this);
  gtk_widget_show_all(plug_);

  input_ = g_io_channel_unix_new(STDIN_FILENO);
  inputWatch_ =
      g_io_add_watch(input_, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), &BrowserPlug::OnInput, this);
}

BrowserPlug::~BrowserPlug() {
  if (inputWatch_ != 0) g_source_remove(inputWatch_);
  if (input_ != nullptr) g_io_channel_unref(input_);
  if (plug_ != nullptr) gtk_widget_destroy(plug_);
}

void BrowserPlug::End() {
  if (ended_) return;
  ended_ = true;
  gtk_main_quit();
}

void BrowserPlug::Say(const std::vector<std::string>& words) {
  const std::string line = BrowserProtocol::Line(words);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

bool BrowserPlug::ReadInput() {
  pollfd ready{STDIN_FILENO, POLLIN, 0};
  const int waited = ::poll(&ready, 1, 0);
  if (waited <= 0) return waited == 0 || errno == EINTR;
  char buffer[16384];
  const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
  if (count <= 0) return false;
  partial_.append(buffer, static_cast<std::size_t>(count));
  for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
    lines_.push_back(partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return true;
}

gboolean BrowserPlug::OnInput(GIOChannel*, GIOCondition, gpointer self) {
  auto* plug = static_cast<BrowserPlug*>(self);
  if (!plug->ReadInput()) {
    plug->inputWatch_ = 0;
    plug->End();
    return FALSE;
  }
  plug->HandleLines();
  return TRUE;
}

void BrowserPlug::HandleLines() {
  while (!lines_.empty() && !ended_) {
    const std::string line = std::move(lines_.front());
    lines_.pop_front();
    Handle(BrowserProtocol::Words(line));
  }
}

std::vector<std::string> BrowserPlug::AwaitAnswer() {
  // The answer comes before anything else the window sends after reading
  // the question; what came before it is handled afterwards, in order.
  std::deque<std::string> before;
  std::vector<std::string> answer;
  for (bool waiting = true; waiting;) {
    while (!lines_.empty()) {
      std::string line = std::move(lines_.front());
      lines_.pop_front();
      std::vector<std::string> words = BrowserProtocol::Words(line);
      if (words[0] == "trust" || words[0] == "refuse") {
        answer = std::move(words);
        break;
      }
      before.push_back(std::move(line));
    }
    if (!answer.empty()) break;
    pollfd ready{STDIN_FILENO, POLLIN, 0};
    waiting = ::poll(&ready, 1, kAnswerWaitMs) > 0 && ReadInput();
  }
  lines_.insert(lines_.begin(), before.begin(), before.end());
  HandleLinesSoon();
  return answer;
}

void BrowserPlug::HandleLinesSoon() {
  // Lines read while waiting for an answer are already off the input, which
  // will not wake the input watch for them.
  if (lines_.empty()) return;
  g_idle_add(
      +[](gpointer self) -> gboolean {
        static_cast<BrowserPlug*>(self)->HandleLines();
        return FALSE;
      },
      this);
}

void BrowserPlug::Handle(const std::vector<std::string>& words) {
  const std::string& word = words[0];
  if (word == "load" && words.size() == 2) {
    webkit_web_view_load_uri(view_, words[1].c_str());
  } else if (word == "script" && words.size() == 3) {
    auto* call = new ScriptCall{this, words[1]};
    webkit_web_view_evaluate_javascript(view_, words[2].c_str(), -1, nullptr, nullptr, nullptr,
                                        &BrowserPlug::OnScriptDone, call);
  } else if (word == "quit") {
    End();
  }
}

gboolean BrowserPlug::OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self) {
  // The report window hands this page the keys meant for it (sent events).
  // A key straight from the server came here only because the pointer rests
  // over the page inside the focused report window: it goes back to the
  // report window, which keeps it or hands it on if the page has the focus.
  if (event->send_event) return FALSE;
  Display* display = GDK_WINDOW_XDISPLAY(gtk_widget_get_window(widget));
  XEvent key{};
  key.xkey.type = event->type == GDK_KEY_PRESS ? KeyPress : KeyRelease;
  key.xkey.display = display;
  key.xkey.window = static_cast<Window>(static_cast<BrowserPlug*>(self)->socketId_);
  key.xkey.root = DefaultRootWindow(display);
  key.xkey.subwindow = None;
  key.xkey.time = event->time;
  key.xkey.state = event->state;
  key.xkey.keycode = event->hardware_keycode;
  key.xkey.same_screen = True;
  // No event mask: the event goes to the client that made the socket's
  // window, whatever it listens for.
  gdk_x11_display_error_trap_push(gtk_widget_get_display(widget));
  XSendEvent(display, key.xkey.window, False, NoEventMask, &key);
  XFlush(display);
  gdk_x11_display_error_trap_pop_ignored(gtk_widget_get_display(widget));
  return TRUE;
}

void BrowserPlug::OnScriptDone(GObject* view, GAsyncResult* result, gpointer data) {
  auto* call = static_cast<ScriptCall*>(data);
  GError* error = nullptr;
  JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
  std::string text;
  if (value != nullptr) {
    gchar* string = jsc_value_to_string(value);
    if (string != nullptr) text = string;
    g_free(string);
    g_object_unref(value);
  } else if (error != nullptr) {
    text = error->message;
  }
  if (error != nullptr) g_error_free(error);
  call->plug->Say({"result", call->number, value != nullptr ? "1" : "0", text});
  delete call;
}

void BrowserPlug::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
  const char* uri = webkit_web_view_get_uri(view);
  if (event == WEBKIT_LOAD_COMMITTED) static_cast<BrowserPlug*>(self)->Say({"navigated", uri != nullptr ? uri : ""});
  if (event == WEBKIT_LOAD_FINISHED) static_cast<BrowserPlug*>(self)->Say({"loaded", uri != nullptr ? uri : ""});
}

gboolean BrowserPlug::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError*, gpointer self) {
  static_cast<BrowserPlug*>(self)->Say({"failed", uri != nullptr ? uri : ""});
  return FALSE;  // the engine's own error page
}

void BrowserPlug::OnNotify(GObject*, GParamSpec* property, gpointer self) {
  auto* plug = static_cast<BrowserPlug*>(self);
  const std::string name = g_param_spec_get_name(property);
  if (name == "title") {
    const char* title = webkit_web_view_get_title(plug->view_);
    plug->Say({"title", title != nullptr ? title : ""});
  } else if (name == "uri") {
    const char* uri = webkit_web_view_get_uri(plug->view_);
    plug->Say({"uri", uri != nullptr ? uri : ""});
  } else if (name == "is-loading") {
    plug->Say({"busy", webkit_web_view_is_loading(plug->view_) ? "1" : "0"});
  }
}

gboolean BrowserPlug::OnTlsErrors(WebKitWebView* view, gchar* uri, GTlsCertificate* certificate,
                                  GTlsCertificateFlags errors, gpointer self) {
  auto* plug = static_cast<BrowserPlug*>(self);
  // Only an authority the engine does not know can be vouched for by the
  // report window; every other fault stands.
  if (uri == nullptr || certificate == nullptr || errors != G_TLS_CERTIFICATE_UNKNOWN_CA) return FALSE;
  const std::vector<std::string> chain = PemChain(certificate);
  if (chain.empty()) return FALSE;
  std::vector<std::string> words{"tls", uri};
  words.insert(words.end(), chain.begin(), chain.end());
  plug->Say(words);
  const std::vector<std::string> answer = plug->AwaitAnswer();
  if (answer.size() != 2 || answer[0] != "trust") return FALSE;
  webkit_web_context_allow_tls_certificate_for_host(webkit_web_view_get_context(view), certificate, answer[1].c_str());
  return TRUE;
}

}  // namespace veradex
