#include "ui/report/BrowserProcessView.h"

#include <wx/filename.h>
#include <wx/nativewin.h>
#include <wx/stdpaths.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/NativePath.h"
#include "ui/browser/BrowserProtocol.h"

#ifdef VERADEX_HAVE_GDK_X11
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <gtk/gtkx.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace veradex {

namespace {

std::string& ProgramPathSetting() {
  static std::string path;
  return path;
}

}  // namespace

void BrowserProcessView::SetProgramPath(const std::string& path) { ProgramPathSetting() = path; }

std::string BrowserProcessView::ProgramPath() {
  if (ProgramPathSetting().empty()) {
    wxFileName file(wxStandardPaths::Get().GetExecutablePath());
    file.SetFullName("veradex-browser");
    ProgramPathSetting() = NativePath::FromWx(file.GetFullPath());
  }
  return ProgramPathSetting();
}

#ifdef VERADEX_HAVE_GDK_X11

namespace {

// The page's process names its accessibility tree in a property of its
// window, written just after the window is made. The toolkit's socket reads
// that property once, when the window arrives, and so misses it when the
// socket is quicker; a screen reader would then find an empty place where
// the page is. Called once a page has loaded (long after the property was
// written): the tree is taken in if the socket still holds nothing.
void EmbedPageAccessible(GtkWidget* socket) {
  GdkWindow* plug = gtk_socket_get_plug_window(GTK_SOCKET(socket));
  if (plug == nullptr) return;
  // The socket widget's accessible holds the socket proper as its one child.
  AtkObject* inner = atk_object_ref_accessible_child(gtk_widget_get_accessible(socket), 0);
  if (inner == nullptr) return;
  if (ATK_IS_SOCKET(inner) && !atk_socket_is_occupied(ATK_SOCKET(inner))) {
    GdkDisplay* display = gdk_window_get_display(plug);
    const Atom atom = gdk_x11_get_xatom_by_name_for_display(display, "_XEMBED_AT_SPI_PATH");
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    gdk_x11_display_error_trap_push(display);
    const int status = XGetWindowProperty(GDK_DISPLAY_XDISPLAY(display), GDK_WINDOW_XID(plug), atom, 0, 1024, False,
                                          atom, &type, &format, &count, &after, &data);
    gdk_x11_display_error_trap_pop_ignored(display);
    if (status == Success && data != nullptr && type == atom && format == 8 && count > 0)
      atk_socket_embed(ATK_SOCKET(inner), std::string(reinterpret_cast<const char*>(data), count).c_str());
    if (data != nullptr) XFree(data);
  }
  g_object_unref(inner);
}

}  // namespace

bool BrowserProcessView::Available() {
  return GDK_IS_X11_DISPLAY(gdk_display_get_default()) && access(ProgramPath().c_str(), X_OK) == 0;
}

BrowserProcessView* BrowserProcessView::Create(wxWindow* parent, const wxSize& size,
                                               const WebEngineCallbacks* callbacks) {
  auto* view = new BrowserProcessView(callbacks);
  if (!view->Start(parent, size)) {
    view->Destroy();
    return nullptr;
  }
  return view;
}

bool BrowserProcessView::Start(wxWindow* parent, const wxSize& size) {
  GtkWidget* socket = gtk_socket_new();
  // When the process ends, the socket would destroy itself under the
  // toolkit's window; it stays until the window goes.
  g_signal_connect(socket, "plug-removed", G_CALLBACK(+[](GtkSocket*, gpointer) -> gboolean { return TRUE; }), nullptr);
  window_ = new wxNativeWindow(parent, wxID_ANY, socket);
  window_->SetSize(wxRect(wxPoint(0, 0), size));
  gtk_widget_show(socket);
  gtk_widget_realize(socket);
  if (!gtk_widget_get_realized(socket)) return false;
  const std::string id = std::to_string(static_cast<unsigned long>(gtk_socket_get_id(GTK_SOCKET(socket))));

  const std::string program = ProgramPath();
  std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(id.c_str()), nullptr};
  GPid pid = 0;
  int input = -1, output = -1;
  GError* error = nullptr;
  if (!g_spawn_async_with_pipes(nullptr, argv.data(), nullptr,
                                static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_CLOEXEC_PIPES), nullptr,
                                nullptr, &pid, &input, &output, nullptr, &error)) {
    std::fprintf(stderr, "veradex: the browser process did not start: %s\n", error != nullptr ? error->message : "");
    if (error != nullptr) g_error_free(error);
    return false;
  }
  pid_ = pid;
  input_ = input;
  // Reaped when it ends, whoever ends it.
  g_child_watch_add(
      pid, +[](GPid child, gint, gpointer) { g_spawn_close_pid(child); }, nullptr);
  auto* channel = g_io_channel_unix_new(output);
  g_io_channel_set_close_on_unref(channel, TRUE);
  output_ = channel;
  outputWatch_ = g_io_add_watch(channel, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                reinterpret_cast<GIOFunc>(&BrowserProcessView::OnOutput), this);
  return true;
}

int BrowserProcessView::OnOutput(void* channel, unsigned, void* self) {
  auto* view = static_cast<BrowserProcessView*>(self);
  char buffer[16384];
  const ssize_t count = read(g_io_channel_unix_get_fd(static_cast<GIOChannel*>(channel)), buffer, sizeof buffer);
  if (count <= 0) {
    view->outputWatch_ = 0;
    return FALSE;
  }
  view->partial_.append(buffer, static_cast<std::size_t>(count));
  for (std::size_t end; view->outputWatch_ != 0 && (end = view->partial_.find('\n')) != std::string::npos;) {
    const std::string line = view->partial_.substr(0, end);
    view->partial_.erase(0, end + 1);
    view->Handle(line);
  }
  return TRUE;
}

void BrowserProcessView::Tell(const std::string& line) {
  if (input_ < 0) return;
  // A process that has gone must not take the program with it (SIGPIPE):
  // the signal is held for the write and a pending one taken away.
  sigset_t pipe, old;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &old);
  bool broken = false;
  for (std::size_t done = 0; done < line.size();) {
    const ssize_t count = write(input_, line.data() + done, line.size() - done);
    if (count <= 0) {
      broken = true;  // the process has gone; its end shows soon
      break;
    }
    done += static_cast<std::size_t>(count);
  }
  if (broken) {
    const timespec none{0, 0};
    sigtimedwait(&pipe, nullptr, &none);
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void BrowserProcessView::Handle(const std::string& line) {
  const std::vector<std::string> words = BrowserProtocol::Words(line);
  const std::string& word = words[0];
  const wxString text = words.size() > 1 ? wxString::FromUTF8(words[1].c_str()) : wxString();
  if (word == "navigated") {
    if (callbacks_->navigated) callbacks_->navigated(text);
  } else if (word == "loaded") {
    if (window_ != nullptr) EmbedPageAccessible(static_cast<GtkWidget*>(window_->GetHandle()));
    if (callbacks_->loaded) callbacks_->loaded(text);
  } else if (word == "failed") {
    if (callbacks_->failed) callbacks_->failed(text);
  } else if (word == "title") {
    title_ = text;
  } else if (word == "uri") {
    uri_ = text;
  } else if (word == "busy") {
    busy_ = words.size() > 1 && words[1] == "1";
  } else if (word == "result" && words.size() == 4) {
    answeredScript_ = static_cast<unsigned>(std::stoul(words[1]));
    scriptOk_ = words[2] == "1";
    scriptResult_ = wxString::FromUTF8(words[3].c_str());
  } else if (word == "tls" && words.size() >= 3) {
    std::string host;
    const std::vector<std::string> chain(words.begin() + 2, words.end());
    const bool trusted = callbacks_->unknownAuthority && callbacks_->unknownAuthority(words[1], chain, &host);
    Tell(trusted ? BrowserProtocol::Line({"trust", host}) : BrowserProtocol::Line({"refuse"}));
  }
}

wxWindow* BrowserProcessView::Window() { return window_; }

void BrowserProcessView::LoadURL(const wxString& url) {
  Tell(BrowserProtocol::Line({"load", std::string(url.utf8_str())}));
}

bool BrowserProcessView::RunScript(const wxString& script, wxString* result) {
  const unsigned number = ++scripts_;
  Tell(BrowserProtocol::Line({"script", std::to_string(number), std::string(script.utf8_str())}));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (answeredScript_ != number && outputWatch_ != 0 && std::chrono::steady_clock::now() < deadline) {
    if (!g_main_context_iteration(nullptr, FALSE)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (answeredScript_ != number) return false;
  if (result != nullptr) *result = scriptResult_;
  return scriptOk_;
}

void BrowserProcessView::Stop() {
  if (outputWatch_ != 0) g_source_remove(outputWatch_);
  outputWatch_ = 0;
  if (output_ != nullptr) g_io_channel_unref(static_cast<GIOChannel*>(output_));
  output_ = nullptr;
  if (input_ >= 0) close(input_);  // its input ends: the process ends itself
  input_ = -1;
  if (pid_ > 0) kill(pid_, SIGTERM);
  pid_ = -1;
}

#else

bool BrowserProcessView::Available() { return false; }
BrowserProcessView* BrowserProcessView::Create(wxWindow*, const wxSize&, const WebEngineCallbacks*) { return nullptr; }
bool BrowserProcessView::Start(wxWindow*, const wxSize&) { return false; }
int BrowserProcessView::OnOutput(void*, unsigned, void*) { return 0; }
void BrowserProcessView::Handle(const std::string&) {}
void BrowserProcessView::Tell(const std::string&) {}
wxWindow* BrowserProcessView::Window() { return window_; }
void BrowserProcessView::LoadURL(const wxString&) {}
bool BrowserProcessView::RunScript(const wxString&, wxString*) { return false; }
void BrowserProcessView::Stop() {}

#endif

void BrowserProcessView::Destroy() {
  Stop();
  if (window_ != nullptr) window_->Destroy();
  window_ = nullptr;
  delete this;
}

}  // namespace veradex
