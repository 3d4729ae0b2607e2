#pragma once

#include <string>

#include "ui/report/WebEngine.h"

class wxNativeWindow;

namespace veradex {

// A web view in a process of its own ("veradex-browser" beside the program),
// shown in the report window through an X11 socket. Ending the view ends the
// process and with it every process of the web engine, so a program at rest
// in the tray holds none of the engine's memory. X11 only; elsewhere the
// engine module runs in the program's own process.
class BrowserProcessView : public WebEngineView {
 public:
  // Where the browser program is looked for; by default beside the executable.
  static void SetProgramPath(const std::string& path);
  static std::string ProgramPath();
  // True on an X11 display with the browser program there.
  static bool Available();
  // A new view with its process; null when it cannot start.
  static BrowserProcessView* Create(wxWindow* parent, const wxSize& size, const WebEngineCallbacks* callbacks);

  wxWindow* Window() override;
  void LoadURL(const wxString& url) override;
  wxString CurrentTitle() const override { return title_; }
  wxString CurrentURL() const override { return uri_; }
  bool IsBusy() const override { return busy_; }
  bool RunScript(const wxString& script, wxString* result) override;
  void Destroy() override;

 private:
  explicit BrowserProcessView(const WebEngineCallbacks* callbacks) : callbacks_(callbacks) {}
  ~BrowserProcessView() override = default;
  bool Start(wxWindow* parent, const wxSize& size);
  static int OnOutput(void* channel, unsigned condition, void* self);
  void Handle(const std::string& line);
  void Tell(const std::string& line);
  void Stop();

  const WebEngineCallbacks* callbacks_;
  wxNativeWindow* window_ = nullptr;
  int pid_ = -1;
  int input_ = -1;          // the process's standard input
  void* output_ = nullptr;  // its standard output (a GIOChannel)
  unsigned outputWatch_ = 0;
  std::string partial_;
  wxString title_, uri_;
  bool busy_ = false;
  unsigned scripts_ = 0;
  // The answer to the script last run: its number, success and text.
  unsigned answeredScript_ = 0;
  bool scriptOk_ = false;
  wxString scriptResult_;
};

}  // namespace veradex
