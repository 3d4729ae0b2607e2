#pragma once

#include "ui/skin/SkinLabel.h"

namespace veradex {

// A static text whose whole area is white whatever lies under it (the report
// window's attachment-count label), with its label on it.
class WhiteStatic : public SkinLabel {
 public:
  WhiteStatic(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = wxALIGN_LEFT);
};

}  // namespace veradex
