#include "platform/X11Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace veradex {

namespace {

using XWindow = ::Window;

// Errors on our own connections (a window gone between two requests) are
// expected and ignored; everybody else's go to the handler that was there.
constexpr int kMaxConnections = 8;
std::atomic<Display*> ourConnections[kMaxConnections];
XErrorHandler previousHandler = nullptr;
std::once_flag handlerInstalled;

int IgnoreOurErrors(Display* display, XErrorEvent* error) {
  for (auto& slot : ourConnections)
    if (slot.load() == display) return 0;
  return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

Display* OpenConnection(const std::string& name) {
  Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
  if (display == nullptr) return nullptr;
  for (auto& slot : ourConnections) {
    Display* empty = nullptr;
    if (slot.compare_exchange_strong(empty, display)) break;
  }
  std::call_once(handlerInstalled, [] { previousHandler = XSetErrorHandler(IgnoreOurErrors); });
  return display;
}

void CloseConnection(Display* display) {
  if (display == nullptr) return;
  XCloseDisplay(display);
  for (auto& slot : ourConnections) {
    Display* expected = display;
    if (slot.compare_exchange_strong(expected, nullptr)) break;
  }
}

long long Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Waits for an event of the type on the window, at most until the deadline.
bool WaitForEvent(Display* display, XWindow window, int type, XEvent* event, long long deadline) {
  for (;;) {
    if (XCheckTypedWindowEvent(display, window, type, event)) return true;
    const long long left = deadline - Now();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    ::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 50)));
  }
}

// One target of a selection, as its owner gave it.
struct SelectionItem {
  Atom target = None;
  Atom type = None;
  int format = 8;
  unsigned long count = 0;           // items of format bits
  std::vector<unsigned char> bytes;  // as Xlib hands them (format 32: longs)
};

std::size_t ItemBytes(int format, unsigned long count) {
  return format == 32 ? count * sizeof(long) : format == 16 ? count * sizeof(short) : count;
}

// Reads the selection's value for one target on the window's property.
bool Convert(Display* display, XWindow window, Atom selection, Atom target, SelectionItem* item, long long deadline) {
  const Atom property = XInternAtom(display, "VERADEX_SELECTION", False);
  const Atom incr = XInternAtom(display, "INCR", False);
  XDeleteProperty(display, window, property);
  XConvertSelection(display, selection, target, property, window, CurrentTime);
  XFlush(display);
  XEvent event;
  if (!WaitForEvent(display, window, SelectionNotify, &event, deadline)) return false;
  if (event.xselection.property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &after,
                         &data) != Success)
    return false;
  const bool usable = type != None && type != incr && after == 0;
  if (usable) {
    item->target = target;
    item->type = type;
    item->format = format;
    item->count = count;
    item->bytes.assign(data, data + ItemBytes(format, count));
  }
  if (data != nullptr) XFree(data);
  return usable;
}

}  // namespace

// Owns the CLIPBOARD on a connection and a thread of its own, so that other
// programs get its content whatever the user-interface thread is doing.
class X11Clipboard {
 public:
  explicit X11Clipboard(const std::string& displayName) {
    display_ = OpenConnection(displayName);
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    timestamp_ = XInternAtom(display_, "TIMESTAMP", False);
    XFlush(display_);
    if (::pipe(wake_) != 0) return;
    thread_ = std::thread([this] { Serve(); });
  }
  ~X11Clipboard() {
    if (thread_.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
      }
      Wake();
      thread_.join();
    }
    if (wake_[0] >= 0) ::close(wake_[0]);
    if (wake_[1] >= 0) ::close(wake_[1]);
    CloseConnection(display_);
  }

  // Takes the clipboard with these values (or keeps it, with new values);
  // true once the server says it is ours.
  bool Own(std::vector<SelectionItem> items, int timeoutMilliseconds) {
    return Command(Request::kOwn, std::move(items), timeoutMilliseconds);
  }
  // Gives the clipboard up, leaving it empty.
  void Release(int timeoutMilliseconds) { Command(Request::kRelease, {}, timeoutMilliseconds); }
  // How many requests for the content were answered so far.
  long Served() {
    std::lock_guard<std::mutex> lock(mutex_);
    return served_;
  }
  bool WaitServedAfter(long before, int timeoutMilliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), [&] { return served_ > before; });
  }

 private:
  enum class Request { kNone, kOwn, kRelease };

  bool Command(Request request, std::vector<SelectionItem> items, int timeoutMilliseconds) {
    if (!thread_.joinable()) return false;
    std::unique_lock<std::mutex> lock(mutex_);
    request_ = request;
    pendingItems_ = std::move(items);
    done_ = false;
    lock.unlock();
    Wake();
    lock.lock();
    changed_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), [&] { return done_; });
    return done_ && result_;
  }
  void Wake() {
    const char byte = 1;
    if (::write(wake_[1], &byte, 1) < 0) {
    }
  }

  // The server's time now, from a property change on our window.
  Time ServerTime() {
    const Atom property = XInternAtom(display_, "VERADEX_TIME", False);
    XChangeProperty(display_, window_, property, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XFlush(display_);
    XEvent event;
    if (WaitForEvent(display_, window_, PropertyNotify, &event, Now() + 500)) return event.xproperty.time;
    return CurrentTime;
  }

  void RunCommand() {
    std::vector<SelectionItem> items;
    Request request;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      request = request_;
      request_ = Request::kNone;
      items = std::move(pendingItems_);
    }
    bool result = false;
    if (request == Request::kOwn) {
      if (!owned_) {
        ownTime_ = ServerTime();
        XSetSelectionOwner(display_, clipboard_, window_, ownTime_);
        owned_ = XGetSelectionOwner(display_, clipboard_) == window_;
      }
      if (owned_) items_ = std::move(items);
      result = owned_;
    } else if (request == Request::kRelease) {
      if (owned_) XSetSelectionOwner(display_, clipboard_, None, ownTime_);
      owned_ = false;
      items_.clear();
      result = true;
    } else {
      return;
    }
    XFlush(display_);
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    result_ = result;
    changed_.notify_all();
  }

  void Answer(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    const Atom property = request.property != None ? request.property : request.target;
    bool content = false;
    if (owned_ && request.selection == clipboard_) {
      if (request.target == targets_) {
        std::vector<long> atoms{static_cast<long>(targets_), static_cast<long>(timestamp_)};
        for (const SelectionItem& item : items_) atoms.push_back(static_cast<long>(item.target));
        XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
        reply.property = property;
      } else if (request.target == timestamp_) {
        long time = static_cast<long>(ownTime_);
        XChangeProperty(display_, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&time), 1);
        reply.property = property;
      } else {
        for (const SelectionItem& item : items_) {
          if (item.target != request.target) continue;
          XChangeProperty(display_, request.requestor, property, item.type, item.format, PropModeReplace,
                          item.bytes.data(), static_cast<int>(item.count));
          reply.property = property;
          content = true;
          break;
        }
      }
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
    if (content) {
      std::lock_guard<std::mutex> lock(mutex_);
      ++served_;
      changed_.notify_all();
    }
  }

  void Serve() {
    for (;;) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == SelectionRequest) {
          Answer(event.xselectionrequest);
        } else if (event.type == SelectionClear && event.xselectionclear.selection == clipboard_) {
          owned_ = false;  // somebody else copied: their content now
          items_.clear();
        }
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) return;
      }
      pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
      ::poll(fds, 2, 1000);
      if (fds[1].revents & POLLIN) {
        char buffer[16];
        if (::read(wake_[0], buffer, sizeof buffer) < 0) {
        }
        RunCommand();
      }
    }
  }

  Display* display_ = nullptr;
  XWindow window_ = 0;
  Atom clipboard_ = None, targets_ = None, timestamp_ = None;
  int wake_[2] = {-1, -1};
  std::thread thread_;
  // Owned by the serving thread.
  bool owned_ = false;
  Time ownTime_ = CurrentTime;
  std::vector<SelectionItem> items_;
  // Shared with the caller.
  std::mutex mutex_;
  std::condition_variable changed_;
  Request request_ = Request::kNone;
  std::vector<SelectionItem> pendingItems_;
  bool done_ = false, result_ = false, stop_ = false;
  long served_ = 0;
};

struct X11Desktop::Impl {
  Display* display = nullptr;
  XWindow helper = 0;  // unmapped; receives selections and timestamps
  std::string displayName;
  std::unique_ptr<X11Clipboard> clipboard;

  Atom Intern(const char* name) const { return XInternAtom(display, name, False); }

  // A window's property as bytes (format 8) or the first long (format 32).
  std::string Property(XWindow window, Atom property, Atom* typeOut = nullptr) const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
      value.assign(reinterpret_cast<char*>(data), ItemBytes(format, count));
      XFree(data);
    }
    if (typeOut != nullptr) *typeOut = type;
    return value;
  }
  XWindow WindowProperty(XWindow window, const char* name) const {
    const std::string value = Property(window, Intern(name));
    if (value.size() < sizeof(long)) return 0;
    long id = 0;
    std::memcpy(&id, value.data(), sizeof id);
    return static_cast<XWindow>(id);
  }

  // The window that carries the client's properties: the window itself, or
  // below a window manager's frame the descendant with WM_STATE.
  XWindow ClientOf(XWindow window, int depth) const {
    if (!Property(window, Intern("WM_STATE")).empty()) return window;
    if (depth == 0) return 0;
    XWindow root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XWindow found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && found == 0; ++i) found = ClientOf(children[i], depth - 1);
      if (children != nullptr) XFree(children);
    }
    return found;
  }

  std::string Title(XWindow window) const {
    std::string title = Property(window, Intern("_NET_WM_NAME"));
    if (title.empty()) title = Property(window, XA_WM_NAME);
    return title;
  }

  bool Matches(XWindow window, const MailClientWindowLook& look) const {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint)) return false;
    const std::string name = hint.res_name != nullptr ? hint.res_name : "";
    const std::string wmClass = hint.res_class != nullptr ? hint.res_class : "";
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
    if (look.x11Name != nullptr && name != look.x11Name) return false;
    if (look.x11Class != nullptr) {
      const std::size_t length = std::strlen(look.x11Class);
      if (wmClass.size() < length || strncasecmp(wmClass.c_str(), look.x11Class, length) != 0) return false;
    }
    if (look.titlePrefixes[0] == nullptr) return true;
    const std::string title = Title(window);
    for (const char* const* prefix = look.titlePrefixes; *prefix != nullptr; ++prefix)
      if (title.compare(0, std::strlen(*prefix), *prefix) == 0) return true;
    return false;
  }

  bool ShownOrMinimised(XWindow client, XWindow topLevel) const {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, topLevel, &attributes) && attributes.map_state == IsViewable) return true;
    const std::string state = Property(client, Intern("WM_STATE"));
    long value = 0;
    if (state.size() >= sizeof value) std::memcpy(&value, state.data(), sizeof value);
    return value == IconicState;
  }

  // The server's time now: the time of a property change on the helper
  // (earlier notices there, from reading selections, are dropped first).
  Time ServerTime() const {
    const Atom property = Intern("VERADEX_TIME");
    XEvent event;
    while (XCheckTypedWindowEvent(display, helper, PropertyNotify, &event)) {
    }
    XChangeProperty(display, helper, property, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XFlush(display);
    const long long deadline = Now() + 500;
    while (WaitForEvent(display, helper, PropertyNotify, &event, deadline))
      if (event.xproperty.atom == property) return event.xproperty.time;
    return CurrentTime;
  }

  void SendToRoot(XWindow window, const char* type, long a, long b, long c, long d) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = a;
    event.xclient.data.l[1] = b;
    event.xclient.data.l[2] = c;
    event.xclient.data.l[3] = d;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
  }

  // The user's clipboard, every target that can be kept (bounded in time and
  // size); empty when nobody owns it or its owner does not answer.
  std::vector<SelectionItem> SaveClipboard(XWindow ownWindow) const {
    std::vector<SelectionItem> saved;
    const Atom selection = Intern("CLIPBOARD");
    const XWindow owner = XGetSelectionOwner(display, selection);
    if (owner == None) return saved;
    // Our own windows cannot answer while the capture holds their thread.
    // Windows of one client share the bits above the server's resource-id
    // mask (0x1FFFFF on the X.Org server).
    const unsigned long base = ~static_cast<unsigned long>(0x1FFFFF);
    if (ownWindow != 0 && (owner & base) == (ownWindow & base)) return saved;
    const long long deadline = Now() + 600;
    SelectionItem targets;
    if (!Convert(display, helper, selection, Intern("TARGETS"), &targets, deadline) || targets.format != 32)
      return saved;
    const Atom skip[] = {Intern("TARGETS"),        Intern("TIMESTAMP"), Intern("MULTIPLE"),
                         Intern("SAVE_TARGETS"),   Intern("DELETE"),    Intern("INSERT_SELECTION"),
                         Intern("INSERT_PROPERTY")};
    const long* atoms = reinterpret_cast<const long*>(targets.bytes.data());
    std::size_t total = 0;
    for (unsigned long i = 0; i < targets.count && Now() < deadline; ++i) {
      const Atom target = static_cast<Atom>(atoms[i]);
      if (std::find(std::begin(skip), std::end(skip), target) != std::end(skip)) continue;
      SelectionItem item;
      if (!Convert(display, helper, selection, target, &item, deadline)) continue;
      total += item.bytes.size();
      if (total > (4u << 20)) break;
      saved.push_back(std::move(item));
    }
    return saved;
  }
};

X11Desktop::X11Desktop(const std::string& displayName) : impl_(std::make_unique<Impl>()) {
  Display* display = OpenConnection(displayName);
  if (display == nullptr) return;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    CloseConnection(display);
    return;
  }
  display_ = display;
  impl_->display = display;
  impl_->displayName = displayName;
  impl_->helper = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(display, impl_->helper, PropertyChangeMask);
  XFlush(display);
}

X11Desktop::~X11Desktop() {
  impl_->clipboard.reset();
  CloseConnection(static_cast<Display*>(display_));
}

bool X11Desktop::HasWindowManager() {
  const XWindow check = impl_->WindowProperty(DefaultRootWindow(impl_->display), "_NET_SUPPORTING_WM_CHECK");
  return check != 0 && impl_->WindowProperty(check, "_NET_SUPPORTING_WM_CHECK") == check;
}

Desktop::Window X11Desktop::FindTopLevel(MailClientWindow which) {
  const MailClientWindowLook& look = kMailClientWindowLooks[which];
  if (!Ok() || !look.onX11) return 0;
  Display* display = impl_->display;
  XWindow root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  XWindow found = 0;
  for (unsigned i = count; i-- > 0 && found == 0;) {  // top of the stack first
    XWindow client = impl_->ClientOf(children[i], 2);
    if (client == 0) client = children[i];  // no window manager
    if (impl_->Matches(client, look) && impl_->ShownOrMinimised(client, children[i])) found = client;
  }
  if (children != nullptr) XFree(children);
  return found;
}

bool X11Desktop::WaitForFocus(Window window, int timeoutMilliseconds) {
  Display* display = impl_->display;
  const long long deadline = Now() + timeoutMilliseconds;
  for (;;) {
    XWindow focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    // The focus may sit on the window or on one of its own sub-windows.
    for (XWindow w = focus; w != 0 && w != PointerRoot;) {
      if (w == window) return true;
      XWindow root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display, w, &root, &parent, &children, &count)) break;
      if (children != nullptr) XFree(children);
      if (parent == root) break;
      w = parent;
    }
    if (Now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool X11Desktop::BringToFront(Window window) {
  if (!Ok() || window == 0) return false;
  Display* display = impl_->display;
  if (HasWindowManager()) {
    // As a pager asks: window managers honour it even for a minimised window.
    impl_->SendToRoot(window, "_NET_ACTIVE_WINDOW", 2, static_cast<long>(impl_->ServerTime()), 0, 0);
  } else {
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
  }
  return WaitForFocus(window, 1000);
}

void X11Desktop::BringOwnWindowToFront() {
  if (OwnWindow() != 0) BringToFront(OwnWindow());
}

void X11Desktop::SetTopMost(bool on) {
  if (!Ok() || OwnWindow() == 0) return;
  if (HasWindowManager()) {
    impl_->SendToRoot(OwnWindow(), "_NET_WM_STATE", on ? 1 : 0, static_cast<long>(impl_->Intern("_NET_WM_STATE_ABOVE")),
                      0, 1);
  } else if (on) {
    XRaiseWindow(impl_->display, OwnWindow());
    XFlush(impl_->display);
  }
}

namespace {
KeySym SymbolOf(Desktop::Key key) {
  switch (key) {
    case Desktop::kAlt:
      return XK_Alt_L;
    case Desktop::kControl:
      return XK_Control_L;
    case Desktop::kLetterA:
      return XK_a;
    case Desktop::kLetterF:
      return XK_f;
    case Desktop::kLetterS:
      return XK_s;
    case Desktop::kLetterV:
      return XK_v;
    case Desktop::kReturn:
      return XK_Return;
    case Desktop::kEscape:
      return XK_Escape;
  }
  return NoSymbol;
}
}  // namespace

void X11Desktop::PressKey(Key key) {
  if (!Ok()) return;
  const KeyCode code = XKeysymToKeycode(impl_->display, SymbolOf(key));
  if (code == 0) return;
  XTestFakeKeyEvent(impl_->display, code, True, CurrentTime);
  XFlush(impl_->display);
}

void X11Desktop::ReleaseKey(Key key) {
  if (!Ok()) return;
  const KeyCode code = XKeysymToKeycode(impl_->display, SymbolOf(key));
  if (code == 0) return;
  XTestFakeKeyEvent(impl_->display, code, False, CurrentTime);
  XFlush(impl_->display);
}

void X11Desktop::SelectAll() {
  PressKey(kControl);
  Stroke(kLetterA);
  ReleaseKey(kControl);
  XSync(impl_->display, False);
}

std::string X11Desktop::ReadSelectionText(const char* selection, int timeoutMilliseconds) {
  if (!Ok()) return std::string();
  SelectionItem item;
  if (!Convert(impl_->display, impl_->helper, impl_->Intern(selection), impl_->Intern("UTF8_STRING"), &item,
               Now() + timeoutMilliseconds) ||
      item.format != 8)
    return std::string();
  return std::string(item.bytes.begin(), item.bytes.end());
}

std::string X11Desktop::ReadNameField(Window dialog) {
  if (!BringToFront(dialog)) return std::string();
  SelectAll();
  return ReadSelectionText("PRIMARY");
}

bool X11Desktop::SetNameField(Window dialog, const std::string& text) {
  if (!Ok()) return false;
  if (!impl_->clipboard) impl_->clipboard = std::make_unique<X11Clipboard>(impl_->displayName);
  X11Clipboard& clipboard = *impl_->clipboard;
  const std::vector<SelectionItem> saved = impl_->SaveClipboard(OwnWindow());

  std::vector<SelectionItem> items;
  for (const char* target : {"UTF8_STRING", "text/plain;charset=utf-8", "TEXT"}) {
    SelectionItem item;
    item.target = impl_->Intern(target);
    item.type = impl_->Intern(std::strcmp(target, "TEXT") == 0 ? "UTF8_STRING" : target);
    item.count = text.size();
    item.bytes.assign(text.begin(), text.end());
    items.push_back(std::move(item));
  }
  const long before = clipboard.Served();
  bool pasted = false;
  if (clipboard.Own(std::move(items), 1000) && BringToFront(dialog)) {
    SelectAll();
    PressKey(kControl);
    Stroke(kLetterV);
    ReleaseKey(kControl);
    pasted = clipboard.WaitServedAfter(before, 1500);
  }
  // The user's clipboard back, served from here from now on.
  if (!saved.empty())
    clipboard.Own(saved, 1000);
  else
    clipboard.Release(1000);
  return pasted;
}

void X11Desktop::Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

long long X11Desktop::NowMilliseconds() { return Now(); }

}  // namespace veradex
