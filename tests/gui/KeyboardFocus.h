#pragma once

#include <chrono>

#include <wx/window.h>

#include "gui/GuiTestSupport.h"

// Last: Xlib's macros would clash with names included before.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace veradex::test {

// The test display has no window manager, so nobody hands the keyboard to a
// window that comes up: the test does, as a desktop would, with the pointer
// moved off the window first (tests that want it over the window put it
// there). True once the window has the keyboard.
inline bool GiveKeyboard(wxWindow* topLevel) {
  GtkWidget* widget = topLevel->GetHandle();
  if (!WaitFor([widget] { return gtk_widget_get_mapped(widget); }, std::chrono::seconds(3))) return false;
  GdkWindow* surface = gtk_widget_get_window(widget);
  Display* display = GDK_WINDOW_XDISPLAY(surface);
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 1200, 1000);
  XSetInputFocus(display, GDK_WINDOW_XID(surface), RevertToParent, CurrentTime);
  XSync(display, False);
  return WaitFor([widget] { return gtk_window_has_toplevel_focus(GTK_WINDOW(widget)); }, std::chrono::seconds(3));
}

}  // namespace veradex::test
