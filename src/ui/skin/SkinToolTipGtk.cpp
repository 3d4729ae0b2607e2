#include "ui/skin/SkinToolTip.h"

#include <gtk/gtk.h>
#include <wx/window.h>

namespace veradex {

namespace {

// The window's own tip, kept on its client-area widget.
constexpr const char* kBackgroundTipKey = "veradex-background-tip";

GtkWidget* ClientWidgetOf(const wxWindow* window) {
  // The tip belongs where wxWidgets puts a window's events: its client area.
  return const_cast<wxWindow*>(window)->GetConnectWidget();
}

// GTK asks the widget under the pointer first, then each parent in turn
// until one answers: the window's client area is asked for every point of
// every control on it that has no tip of its own. It answers only for the
// points where none of its shown controls lies.
gboolean OnQueryBackgroundTip(GtkWidget* widget, gint x, gint y, gboolean keyboardMode, GtkTooltip* tooltip,
                              gpointer data) {
  const auto* text = static_cast<const char*>(g_object_get_data(G_OBJECT(widget), kBackgroundTipKey));
  if (text == nullptr || *text == '\0' || keyboardMode) return FALSE;
  const auto* window = static_cast<const wxWindow*>(data);
  // x and y are in the client area's own coordinates, as the controls' places are.
  for (const wxWindow* child : window->GetChildren())
    if (!child->IsTopLevel() && child->IsShown() && child->GetRect().Contains(x, y)) return FALSE;
  gtk_tooltip_set_text(tooltip, text);
  return TRUE;
}

gboolean OnQueryTipSource(GtkWidget*, gint x, gint y, gboolean keyboardMode, GtkTooltip* tooltip, gpointer data) {
  if (keyboardMode) return FALSE;
  const wxString text = (*static_cast<SkinToolTip::TipSource*>(data))(wxPoint(x, y));
  if (text.empty()) return FALSE;
  gtk_tooltip_set_text(tooltip, text.utf8_str().data());
  return TRUE;
}

}  // namespace

void SkinToolTip::SetBackgroundTip(wxWindow* window, const wxString& text) {
  GtkWidget* widget = ClientWidgetOf(window);
  if (widget == nullptr) return;
  // A tip set through wxWidgets would answer for every point.
  window->UnsetToolTip();
  if (g_object_get_data(G_OBJECT(widget), kBackgroundTipKey) == nullptr)
    g_signal_connect(widget, "query-tooltip", G_CALLBACK(OnQueryBackgroundTip), window);
  g_object_set_data_full(G_OBJECT(widget), kBackgroundTipKey, g_strdup(text.utf8_str().data()), g_free);
  gtk_widget_set_has_tooltip(widget, !text.empty());
}

wxString SkinToolTip::BackgroundTip(const wxWindow* window) {
  GtkWidget* widget = ClientWidgetOf(window);
  const auto* text =
      widget != nullptr ? static_cast<const char*>(g_object_get_data(G_OBJECT(widget), kBackgroundTipKey)) : nullptr;
  return text != nullptr ? wxString::FromUTF8(text) : wxString();
}

void SkinToolTip::SetTipSource(wxWindow* control, TipSource source) {
  GtkWidget* widget = control->GetConnectWidget();
  if (widget == nullptr) return;
  // GTK asks the widget itself, with the pointer where it is at that moment.
  auto* kept = new TipSource(std::move(source));
  g_signal_connect_data(
      widget, "query-tooltip", G_CALLBACK(OnQueryTipSource), kept,
      [](gpointer data, GClosure*) { delete static_cast<TipSource*>(data); }, GConnectFlags(0));
  gtk_widget_set_has_tooltip(widget, TRUE);
}

}  // namespace veradex
