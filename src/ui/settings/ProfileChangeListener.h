#pragma once

namespace veradex {

// What the settings dialog needs of the report window after a save: reload the
// personal-data fields from PersonalProfile and show the current category page
// again so the page templates pick up the changed data. The report window
// implements it; the tray window hands it to the settings dialog each time it
// shows the dialog.
class ProfileChangeListener {
 public:
  virtual ~ProfileChangeListener() = default;
  virtual void LoadProfileFields() = 0;
  virtual void RefreshCategoryPage() = 0;
};

}  // namespace veradex
