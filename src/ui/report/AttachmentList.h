#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include "ui/report/AttachmentEntry.h"

namespace veradex {

class MessageSink;

// The attachment list of the report window: at most five saved messages,
// one row each, with a check box per row and one in the first column's
// header that checks or clears them all. Files come from the add button,
// from drops and from mail-client capture; every route goes through AddFile.
class AttachmentList : public wxListCtrl {
 public:
  // Drop settings: which dropped paths are taken and where they go.
  enum DropFlags : unsigned {
    kAcceptFiles = 0x01,
    kAcceptFolders = 0x02,
    kRequireExtension = 0x10,
    kUseCallback = 0x20
  };
  enum DropKind : int { kKindFolder = 64, kKindFile = 128 };
  struct DropFilter {
    unsigned flags = kAcceptFiles | kAcceptFolders;
    wxString extension;  // with the dot, e.g. ".eml"; only with kRequireExtension
    std::function<void(AttachmentList&, const wxString&, int)> callback;  // only with kUseCallback
  };

  AttachmentList(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
  ~AttachmentList() override;

  // 1 added, 0 the row could not be inserted, -1 refused (a message was shown).
  virtual int AddFile(const wxString& path);
  // Deletes one row and announces the new count.
  void RemoveAt(long index);
  // Deletes every checked row, last to first. Returns how many went.
  int RemoveChecked();
  // Deletes every row (after a report has been delivered).
  void RemoveAll();

  bool SetDropFilter(const DropFilter& filter);
  void SetupHeaderCheckBox();
  // The two columns; the first takes the width minus 70 pixels.
  void SetupColumns();
  void SetHintText(const wxString& text);

  // Refuses every change of the rows while it returns false (it shows its
  // own message then). Set by the window while a report is being sent.
  void SetChangeGuard(std::function<bool()> guard) { changeGuard_ = std::move(guard); }
  // Called (posted, on the GUI thread) after every add and every delete.
  void SetCountChangedHandler(std::function<void()> handler) { countChanged_ = std::move(handler); }
  // Asked before a file that passed the list's own rules is added; false
  // refuses it (the check has said why).
  void SetAddCheck(std::function<bool(const wxString& path, const AttachedMail& mail)> check) {
    addCheck_ = std::move(check);
  }
  // The summary shown in the tooltip (of the row under the pointer, else of the selected row).
  wxString ShownSummary() const { return shownSummary_; }
  // Told the row whose summary is shown whenever that changes (nullptr: none).
  void SetSummaryShownHandler(std::function<void(const AttachmentEntry*)> handler) {
    summaryShown_ = std::move(handler);
  }
  // Where the drop filter's plain notices go; none: the platform's plain box.
  void SetPlainMessageSink(MessageSink* sink) { plainSink_ = sink; }

  // Processes dropped items in order (also what a drop onto the list does).
  void HandleDrop(const wxArrayString& paths);

  int Count() const { return static_cast<int>(entries_.size()); }
  const AttachmentEntry& Entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  std::vector<wxString> Paths() const;
  // What was read of each file when it was added, in the order of Paths().
  std::vector<AttachedMail> Mails() const;
  bool HeaderChecked() const { return headerImage_ == 2; }
  // The guard allows changes (or there is none).
  bool ChangesAllowed() const { return !changeGuard_ || changeGuard_(); }

 private:
  void PostCountChanged();
  void UpdateHeaderBox();
  // The window a screen reader meets as the list (the one taking the keyboard).
  wxWindow* AccessibleWindow();
  // Tells a screen reader the list's rows.
  void UpdateAccessibleRows();
  void SetHeaderImage(int image);
  void OnItemCheckChanged(wxListEvent& event);
  void OnColumnClick(wxListEvent& event);
  void OnMainPaint(wxPaintEvent& event);
  void ShowPlain(const std::string& text);
  void ShowSummary(long row);
  // The row under a point of the rows' window, else the selected one; -1: none.
  long SummaryRowAt(const wxPoint& point) const;

  bool headerReady_ = false;
  wxImageList stateImages_;
  int headerImage_ = 1;
  wxString hintText_;
  wxFont hintFont_;
  wxBitmap emptyListBitmap_;  // the empty list's icon, 32 x 32
  DropFilter dropFilter_;
  std::vector<AttachmentEntry> entries_;
  std::function<bool()> changeGuard_;
  std::function<void()> countChanged_;
  MessageSink* plainSink_ = nullptr;
  std::function<bool(const wxString&, const AttachedMail&)> addCheck_;
  wxString shownSummary_;
  std::function<void(const AttachmentEntry*)> summaryShown_;
  wxWindow* rowsWindow_ = nullptr;
  int notMailImage_ = -1;  // the row mark of a file that is no mail
  bool updatingChecks_ = false;
};

}  // namespace veradex
