#include "ui/skin/WhiteStatic.h"

namespace veradex {

WhiteStatic::WhiteStatic(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size,
                         long style)
    : SkinLabel(parent, id, label, pos, size, style, SkinLabel::kWhite) {}

}  // namespace veradex
