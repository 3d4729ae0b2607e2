#pragma once

#include <functional>
#include <vector>

#include "pages/CategoryPage.h"

namespace veradex {

class SkinBitmapButton;
class SkinDialog;

// The seven category buttons down the left of the report window, one for
// each category of the page table, in its order (e-mail first). A button
// has three looks: normal; current, while its category is the window's
// current one (the focus image as its up image); and hover, while the
// pointer is over it, which wins over current.
//
// The buttons are children of the window itself, placed in its client
// coordinates, so that the skin shows around them and the window is dragged
// from anywhere between them, as with every other control of the window.
class CategoryButtonBar {
 public:
  // onPress gets the category of a pressed button.
  CategoryButtonBar(SkinDialog& window, std::function<void(Category)> onPress);
  CategoryButtonBar(const CategoryButtonBar&) = delete;
  CategoryButtonBar& operator=(const CategoryButtonBar&) = delete;

  // Six buttons of 146 x 69 at x 13 from y 107 down, the last one 146 x 74
  // at y 521.
  void ApplyLayout();
  // The tooltip of each button.
  void SetupTooltips();

  Category GetCurrent() const { return current_; }
  // Makes a category current (kNone: none) and updates the looks.
  void SetCurrent(Category category);

  // The button with this control id; nullptr when it is not one of the seven.
  SkinBitmapButton* GetButton(int id) const;
  // The current category's button (the first when none is current).
  SkinBitmapButton* GetCurrentButton() const;

  // A button's id, images and tooltip (the table beside the code).
  struct Face;

 private:
  struct Button {
    const Face* face;
    Category category;
    SkinBitmapButton* control;
  };

  void UpdateLooks();

  std::vector<Button> buttons_;
  Category current_ = Category::kNone;
  int hovered_ = 0;  // id of the button under the pointer, 0 none
};

}  // namespace veradex
