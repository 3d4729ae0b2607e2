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
  // The engine refused a server's certificate because it does not know its
  // authority. `chain` is what the server sent (PEM, its certificate first).
  // True: the engine is to accept this certificate for `*host`, which the
  // callee sets.
  std::function<bool(const std::string& url, const std::vector<std::string>& chain, std::string* host)>
      unknownAuthority;
};

// One view of the web engine, a child window of the browser panel. The
// engine lives in a module of its own (WebEngineModule) that is loaded only
// when a view is first wanted, so a program at rest in the tray never maps
// the engine's libraries.
class WebEngineView {
 public:
  virtual ~WebEngineView() = default;
  // The view's window (for the toolkit-specific view, cast by those who link it).
  virtual wxWindow* Window() = 0;
  virtual void LoadURL(const wxString& url) = 0;
  virtual wxString CurrentTitle() const = 0;
  virtual wxString CurrentURL() const = 0;
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
