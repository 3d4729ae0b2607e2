#pragma once

#include <string>

#include "app/OwnedReportWindow.h"
#include "ui/settings/ProfileChangeListener.h"

namespace veradex {

class ReportWindow;
class ReportWindowHost;

// The program's report window as the tray window owns it: made once with no
// parent (created hidden, initialised, centred on the screen, its tray link
// set), then only shown and hidden; its window is destroyed with this
// object. It is also the link through which the settings dialog updates the
// window after a save.
class ReportWindowHolder : public OwnedReportWindow, public ProfileChangeListener {
 public:
  explicit ReportWindowHolder(ReportWindowHost& tray);
  ~ReportWindowHolder() override;
  ReportWindowHolder(const ReportWindowHolder&) = delete;
  ReportWindowHolder& operator=(const ReportWindowHolder&) = delete;

  bool IsWindowShown() const override;
  void ShowWindow() override;
  void LoadProfileFields() override;
  bool IsReady() const override;
  std::string ProgramDir() const override;
  ProfileChangeListener* Link() override { return this; }
  wxWindow* Window() override;
  void SetReportHistory(ReportHistory* history) override;
  bool AddAttachment(const std::string& nativePath) override;
  void SetOutbox(Outbox* outbox, std::function<void()> onKept) override;
  bool IsSending() const override;

  void RefreshCategoryPage() override;

  // Null when the window could not be created at all.
  ReportWindow* GetReportWindow() const { return window_; }

 private:
  ReportWindow* window_ = nullptr;
};

}  // namespace veradex
