#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxWindow;

namespace veradex {

// What a web view of the engine tells the browser that made it.
struct WebEngineCallbacks {
  // A navigation has completed; the page's address.
  std::function<void(const wxString& url)> navigated;
  // The page has finished loading; its address.
  std::function<void(const wxString& url)> loaded;
  // The page could not be loaded (the engine shows its own error page).
  std::function<void(const wxString& url)> failed;
  // The engine refused a server's certificate because it does not know its
  // authority. `chain` is what the server sent (PEM, its certificate first).
  // True: the engine is to accept this certificate for `*host`, which the
  // callee sets.
  std::function<bool(const std::string& url, const std::vector<std::string>& chain, std::string* host)>
      unknownAuthority;
};

// One view of the web engine, a child window of the browser panel. The
// engine never runs in the program at rest in the tray: on X11 a view is a
// process of its own (BrowserProcessView), elsewhere the engine lives in a
// module (WebEngineModule) that is loaded only when a view is first wanted.
class WebEngineView {
 public:
  virtual ~WebEngineView() = default;
  // The view's window (for the toolkit-specific view, cast by those who link it).
  virtual wxWindow* Window() = 0;
  virtual void LoadURL(const wxString& url) = 0;
  virtual wxString CurrentTitle() const = 0;
  virtual wxString CurrentURL() const = 0;
  // A page is being loaded.
  virtual bool IsBusy() const = 0;
  // Runs a script in the page and waits for its value as text (for tools
  // and tests; the window itself never needs it). False when it failed.
  virtual bool RunScript(const wxString& script, wxString* result) = 0;
  // Destroys the window and this object; no callback follows.
  virtual void Destroy() = 0;
};

// The module's entry points, looked up by these names after loading.
using WebEngineAvailableFunction = bool (*)();
using WebEngineCreateFunction = WebEngineView* (*)(wxWindow* parent, const wxSize& size,
                                                   const WebEngineCallbacks* callbacks);
inline constexpr const char* kWebEngineAvailableSymbol = "VeradexWebEngineAvailable";
inline constexpr const char* kWebEngineCreateSymbol = "VeradexWebEngineCreate";

}  // namespace veradex
