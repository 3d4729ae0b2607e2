#pragma once

#include <functional>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxWindow;

namespace veradex {

// Tooltips as the screen shows them, the same on every platform.
//
// On GTK a tooltip is looked for from the widget under the pointer up through
// its parents, so a control without a tip of its own shows the tip of the
// window it sits on; and a tip set from the control's own motion events lags
// behind the pointer, since the toolkit passes those on only now and then
// (motion hints). On Windows every control's tip is its own. The platform
// file (SkinToolTipGtk.cpp or SkinToolTipWx.cpp) gives each the same result.
class SkinToolTip {
 public:
  // What a control's tip says at a point of it (in its client
  // coordinates); an empty text: no tip there.
  using TipSource = std::function<wxString(const wxPoint& point)>;

  // The window's own tip: shown only where the pointer is over the window's
  // bare surface, never over one of its shown child controls (which show
  // their own tip or none). An empty text removes it.
  static void SetBackgroundTip(wxWindow* window, const wxString& text);
  // The window's own tip as set by SetBackgroundTip (empty: none).
  static wxString BackgroundTip(const wxWindow* window);
  // A control whose tip depends on where the pointer rests on it (the rows
  // of a list): the source is asked, with the point where the pointer is,
  // whenever the tip is about to be shown and as the pointer moves on while
  // it is shown, so the tip on the screen follows the pointer.
  static void SetTipSource(wxWindow* control, TipSource source);
};

}  // namespace veradex
