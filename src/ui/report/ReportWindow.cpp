#include "ui/report/ReportWindow.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "pages/CategoryPageController.h"
#include "pages/CategoryPages.h"
#include "platform/Cp949.h"
#include "platform/Desktop.h"
#include "platform/LineBreaks.h"
#include "platform/LockedRandom.h"
#include "platform/MessageSink.h"
#include "platform/NativePath.h"
#include "platform/TempFolder.h"
#include "profile/PersonalProfile.h"
#include "profile/Preferences.h"
#include "profile/ProfileStore.h"
#include "profile/ServerSettings.h"
#include "report/AttachmentRules.h"
#include "report/MailClientCapture.h"
#include "report/ReportForm.h"
#include "report/ReportFormCheck.h"
#include "report/ReportHistory.h"
#include "report/ReportSender.h"
#include "report/VersionCheck.h"
#include "ui/report/AttachmentList.h"
#include "ui/report/CWebBrowser.h"
#include "ui/report/DuplicateQuestion.h"
#include "ui/report/ReportVersionActions.h"
#include "ui/report/ReportWindowHost.h"
#include "ui/report/ReportWindowObserver.h"
#include "ui/report/Utf8Text.h"
#include "ui/skin/CueEdit.h"
#include "ui/skin/ResourceImages.h"
#include "ui/skin/SkinBitmapButton.h"
#include "ui/skin/SkinLabel.h"
#include "ui/skin/WhiteStatic.h"

#ifdef VERADEX_HAVE_GDK_X11
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#endif

namespace veradex {

namespace {

// A category button: its category, its four normal images and its hover image.
struct CategoryButton {
  int id;
  int category;
  int up, down, focus, disabled;
  int hover;
};

constexpr CategoryButton kCategoryButtons[] = {
    {ReportWindow::kEmailSpam, 7, 210, 209, 208, 210, 211},  {ReportWindow::kPhoneSpam, 1, 214, 213, 224, 214, 215},
    {ReportWindow::kResentSpam, 2, 228, 225, 230, 228, 229}, {ReportWindow::kBoardSpam, 3, 232, 231, 234, 232, 233},
    {ReportWindow::kMediaSpam, 4, 238, 237, 252, 238, 239},  {ReportWindow::kFaxSpam, 5, 254, 253, 261, 254, 260},
    {ReportWindow::kCodeSpam, 6, 264, 263, 212, 264, 265},
};

void Say(const char* utf8) { MessageSink::Current().ShowMessage(Utf8Text::ToCp949(utf8), kStyleStop); }
void SayBytes(const std::string& cp949) { MessageSink::Current().ShowMessage(cp949, kStyleStop); }

// The description as it is sent, in code page 949 with every line break as
// CR LF (the GTK control holds LF alone), so a break counts two bytes and the
// LF of a pasted CR LF adds nothing; a character code page 949 cannot hold
// stands as a double-byte blank (it is refused when the report is sent).
// sources[k] is the index in text of the k-th character of the result.
std::string SentMeasure(const wxString& text, std::vector<std::size_t>* sources) {
  std::string out;
  wxUniChar previous = 0;
  std::size_t index = 0;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it, ++index) {
    const wxUniChar c = *it;
    std::string bytes;
    if (c == '\n' && previous == '\r')
      bytes.clear();
    else if (c == '\n' || c == '\r')
      bytes = "\r\n";
    else if (c.GetValue() < 0x80)
      bytes = std::string(1, static_cast<char>(c.GetValue()));
    else if (!Cp949::FromWx(wxString(c), &bytes) || bytes.empty())
      bytes = "\xA1\xA1";
    previous = c;
    for (std::size_t i = 0; i < bytes.size(); i += Cp949::IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1)
      sources->push_back(index);
    out += bytes;
  }
  return out;
}

// The window's id on the desktop, for the capture (0 when unknown).
Desktop::Window DesktopIdOf(wxWindow* window) {
#ifdef VERADEX_HAVE_GDK_X11
  GtkWidget* widget = window->GetHandle();
  GdkWindow* native = widget != nullptr ? gtk_widget_get_window(widget) : nullptr;
  if (native != nullptr && GDK_IS_X11_WINDOW(native)) return gdk_x11_window_get_xid(native);
#else
  (void)window;
#endif
  return 0;
}

// True when text copied in one of this program's own windows is on the
// clipboard: the capture cannot ask these for it while it holds their
// thread, so the window keeps it and puts it back itself.
bool OwnTextOnClipboard(wxString* text) {
#ifdef VERADEX_HAVE_GDK_X11
  if (gdk_selection_owner_get(GDK_SELECTION_CLIPBOARD) == nullptr) return false;
  wxClipboardLocker locker;
  wxTextDataObject data;
  if (!locker || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || !wxTheClipboard->GetData(data)) return false;
  *text = data.GetText();
  return true;
#else
  (void)text;
  return false;
#endif
}

// The report window as the mail-client capture sees it.
class CaptureHost : public MailClientCapture::Host {
 public:
  explicit CaptureHost(ReportWindow& window) : window_(window) {}
  int AttachmentCount() override { return window_.GetAttachmentList()->Count(); }
  void SaveFields() override { window_.SaveFields(); }
  void LoadFields() override { window_.LoadFields(); }
  void AddFile(const std::string& path) override { window_.GetAttachmentList()->AddFile(NativePath::ToWx(path)); }

 private:
  ReportWindow& window_;
};

}  // namespace

ReportWindow::ReportWindow()
    : SkinDialog(kSkinBitmap, 0), link(new ReportWindowObserver(this)), sending(link->sending) {}

void ReportWindow::SetPageFolders(const std::string& programDirectory, const std::string& fallbackDirectory) {
  pages = std::make_unique<CategoryPages>(programDirectory, fallbackDirectory);
}

ReportWindow::~ReportWindow() {
  link->Detach();
  // A worker that ran in this window may still hold the observer and its
  // flag: they then stay for the rest of the process.
  if (!everSent) delete link;
}

bool ReportWindow::Create(wxWindow* parent) {
  // 1-2: the window, its icon and its title.
  if (!SkinDialog::Create(parent, wxID_ANY, "Dunmere")) return false;
  // Without a window manager the platform may forget a borderless window's
  // size when it first maps it; the skin's size is set again on every show.
  Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
    if (event.IsShown() && HasSkin() && GetSize() != GetSkinBitmap().GetSize()) SetSize(GetSkinBitmap().GetSize());
    event.Skip();
  });
  // Closing from outside (the window manager) only hides the window too.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    if (!event.CanVeto()) {
      event.Skip();
      return;
    }
    event.Veto();
    CloseWindow();
  });
  icon = ResourceImages::LoadIcon(kIcon);
  if (icon.IsOk()) SetIcon(icon);
  SetTitle("Dunmere");

  if (!pages) pages = std::make_unique<CategoryPages>();
  pageCommands = std::make_unique<CategoryPageController>(*this, *pages);

  // 3-4: the controls, their images and places; progress at 100.
  CreateControls();
  ApplyLayout();

  // 5: the random generator.
  LockedRandom::Seed(static_cast<unsigned>(std::time(nullptr)));

  // 6: the program folder and its temporary folder.
  programDir = Cp949::ToWx(Preferences::Load(ProfileStore::Current()).programDir);
  if (programDir.empty()) programDir = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
  if (!programDir.EndsWith(wxFileName::GetPathSeparator())) programDir += wxFileName::GetPathSeparator();
  ::mkdir(NativePath::FromWx(programDir + "temp").c_str(), 0700);
  ready = true;

  // 7-8: the e-mail report view; the description shows no cue.
  SetDisplayMode(5);
  // Switching the cue off would leave the cue's words behind as content.
  static_cast<CueEdit*>(edits[kContent])->SetCueText(wxString());
  edits[kContent]->ChangeValue(wxString());

  // 9: the version label.
  versionFont = wxFont(wxFontInfo(9).Family(wxFONTFAMILY_TELETYPE));
  versionLabel->SetFont(versionFont);
  versionLabel->SetLabel(wxString("Ver ") + VersionCheck::kOwnVersion + "      ");

  // 10-11: the version check (it shows its own messages); without an answer
  // the initialisation ends here, but the e-mail view stays fully usable:
  // a list without its columns would hide the rows it holds.
  ReportVersionActions defaultActions;
  VersionActions& actions = versionActions != nullptr ? *versionActions : defaultActions;
  if (!VersionCheck::Run(actions, ServerSettings::Current())) {
    SetupAttachmentList();
    return true;
  }

  // 12: the attachment list.
  SetupAttachmentList();

  // 13: the telephone page (the browser view); 14: the report host's page.
  pageCommands->RenderCategoryPage(CategoryPage::kTelephone);
  browser->Navigate(wxString::FromUTF8(CategoryPageController::ReportPageUrl().c_str()));

  // 15: the personal data.
  LoadProfileFields();

  // 16-18: tooltips; the shape is the skin's already.
  SetupTooltips();
  initialised = true;
  return true;
}

SkinBitmapButton* ReportWindow::AddButton(int id, const wxRect& rect, int up, int down, int focus, int disabled) {
  SkinBitmapButton* button = CreateButton(id, wxString(), rect, up, down, focus, disabled);
  buttons[id] = button;
  return button;
}

wxTextCtrl* ReportWindow::AddEdit(int id, const wxRect& rect, long style) {
  wxTextCtrl* edit = nullptr;
  if (id == kContent)
    edit = new CueEdit(this, id, rect.GetPosition(), rect.GetSize(), style);
  else
    edit = new wxTextCtrl(this, id, wxString(), rect.GetPosition(), rect.GetSize(), style);
  edits[id] = edit;
  formControls.push_back(edit);
  return edit;
}

SkinLabel* ReportWindow::AddLabel(const wxString& text, const wxRect& rect, long align) {
  SkinLabel* label = CreateLabel(wxID_ANY, text, rect, align);
  formControls.push_back(label);
  return label;
}

void ReportWindow::CreateControls() {
  // The e-mail report view, inside the white area right of the categories.
  const int labelX = 180, fieldX = 272;
  AddLabel(wxString::FromUTF8("성명/상호"), wxRect(labelX, 120, 88, 18));
  AddEdit(kName, wxRect(fieldX, 116, 220, 26));
  AddLabel(wxString::FromUTF8("전화번호"), wxRect(labelX, 152, 88, 18));
  AddEdit(kTel1, wxRect(fieldX, 148, 56, 26))->SetMaxLength(4);
  AddLabel("-", wxRect(fieldX + 58, 152, 10, 18), wxALIGN_CENTRE_HORIZONTAL);
  AddEdit(kTel2, wxRect(fieldX + 70, 148, 64, 26))->SetMaxLength(5);
  AddLabel("-", wxRect(fieldX + 136, 152, 10, 18), wxALIGN_CENTRE_HORIZONTAL);
  AddEdit(kTel3, wxRect(fieldX + 148, 148, 64, 26))->SetMaxLength(5);
  AddLabel("E-Mail", wxRect(labelX, 184, 88, 18));
  AddEdit(kEmail, wxRect(fieldX, 180, 300, 26));
  AddLabel(wxString::FromUTF8("비밀번호"), wxRect(labelX, 216, 88, 18));
  AddEdit(kPassword, wxRect(fieldX, 212, 140, 26), wxTE_PASSWORD);
  AddLabel(wxString::FromUTF8("비밀번호 확인"), wxRect(fieldX + 156, 216, 96, 18));
  AddEdit(kPasswordConfirm, wxRect(fieldX + 254, 212, 140, 26), wxTE_PASSWORD);
  AddLabel(wxString::FromUTF8("신고내용"), wxRect(labelX, 248, 88, 18));
  wxTextCtrl* content = AddEdit(kContent, wxRect(fieldX, 244, 483, 96), wxTE_MULTILINE | wxTE_WORDWRAP);
  content->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnContentChanged(); });

  attachmentList = new AttachmentList(this, kAttachmentList, wxPoint(fieldX, 348), wxSize(355, 126));
  attachmentList->SetChangeGuard([this] { return ListChangesAllowed(); });
  attachmentList->SetCountChangedHandler([this] { UpdateCountLabel(); });
  formControls.push_back(attachmentList);
  AddLabel(wxString::FromUTF8("첨부파일은 5개까지 가능"), wxRect(labelX, 350, 88, 36));
  countLabel =
      new WhiteStatic(this, kCountLabel, wxString::FromUTF8("[총 0개 첨부]"), wxPoint(labelX, 392), wxSize(88, 18));
  formControls.push_back(countLabel);

  progressBar = new wxGauge(this, kProgress, 100, wxPoint(fieldX, 491), wxSize(190, 18), wxGA_HORIZONTAL | wxGA_SMOOTH);
  progressBar->SetValue(100);
  formControls.push_back(progressBar);

  // Buttons; the layout below gives them their places.
  AddButton(kMinimise, wxRect(0, 0, 30, 30), 300, 301, 300, 299);
  AddButton(kMaximise, wxRect(0, 0, 30, 30), 0, 0, 0, 0)->Hide();
  AddButton(kClose, wxRect(0, 0, 30, 30), 294, 295, 294, 293);
  AddButton(kCloseButton, wxRect(0, 0, 80, 26), 144, 140, 144, 140);
  AddButton(kSend, wxRect(0, 0, 80, 26), 195, 223, 195, 223);
  AddButton(kCapture, wxRect(0, 0, 21, 20), 202, 202, 202, 242);
  AddButton(kDelete, wxRect(0, 0, 21, 20), 259, 259, 259, 259);
  AddButton(kAdd, wxRect(0, 0, 21, 20), 203, 204, 203, 243);
  AddButton(kMenu, wxRect(0, 0, 40, 35), 149, 149, 149, 149);
  AddButton(kInformation, wxRect(0, 0, 40, 35), 0, 0, 0, 0);
  AddButton(kLookup, wxRect(0, 0, 40, 35), 152, 152, 152, 152);
  AddButton(kSettings, wxRect(0, 0, 40, 35), 151, 151, 151, 151);
  AddButton(kPolicy, wxRect(0, 0, 40, 35), 0, 0, 0, 0);
  for (const CategoryButton& c : kCategoryButtons) {
    SkinBitmapButton* button = AddButton(c.id, wxRect(0, 0, 146, 69), c.up, c.down, c.focus, c.disabled);
    const int id = c.id;
    button->Bind(wxEVT_ENTER_WINDOW, [this, id](wxMouseEvent& event) {
      hoveredCategory = id;
      UpdateCategoryLooks();
      event.Skip();
    });
    button->Bind(wxEVT_LEAVE_WINDOW, [this, id](wxMouseEvent& event) {
      if (hoveredCategory == id) hoveredCategory = 0;
      UpdateCategoryLooks();
      event.Skip();
    });
  }
  for (int id : {kCloseButton, kSend, kCapture, kDelete, kAdd}) formControls.push_back(buttons[id]);

  browser = new CWebBrowser(this, kBrowser, wxPoint(1, 1), wxSize(1, 1));
  browser->Bind(EVT_NAVIGATE_COMPLETE2, [this](wxCommandEvent& event) {
    pageCommands->OnNavigateComplete(std::string(event.GetString().utf8_str()));
  });
  browser->Bind(EVT_DOCUMENT_COMPLETE, [this](wxCommandEvent&) { pageCommands->OnDocumentComplete(); });

  versionLabel = new SkinLabel(this, kVersionLabel, wxString(), wxPoint(13, 596), wxSize(146, 14), wxALIGN_LEFT,
                               SkinLabel::kSkinShowsThrough);
  versionLabel->SetForegroundColour(wxColour(200, 210, 225));

  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { CloseWindow(); }, kClose);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { CloseWindow(); }, kCloseButton);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Iconize(true); }, kMinimise);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnSend(); }, kSend);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFiles(); }, kAdd);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnDeleteChecked(); }, kDelete);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnCapture(); }, kCapture);
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) {
        if (tray != nullptr) tray->PopupTrayMenu();
      },
      kMenu);
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) {
        if (tray != nullptr) tray->OpenSettings(0);
      },
      kSettings);
  Bind(
      wxEVT_BUTTON,
      [](wxCommandEvent&) {
        wxLaunchDefaultBrowser(ServerSettings::Current().InfoUrl("/ambrel/spam/jsp/spam_4010.jsp"));
      },
      kInformation);
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnCategoryButton(kPolicy); }, kPolicy);
  for (const CategoryButton& c : kCategoryButtons) {
    const int id = c.id;
    Bind(
        wxEVT_BUTTON, [this, id](wxCommandEvent&) { OnCategoryButton(id); }, id);
  }
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { OnCategoryButton(kLookup); }, kLookup);
}

void ReportWindow::ApplyLayout() {
  const wxSize client = GetClientSize();
  const int w = client.GetWidth(), h = client.GetHeight();
  auto place = [this](int id, int x, int y, int width, int height) {
    if (buttons.count(id) != 0) buttons[id]->SetSize(x, y, width, height);
  };
  place(kMinimise, w - 90, 6, 30, 30);
  place(kClose, w - 60, 6, 30, 30);
  place(kSend, w - 310, h - 125, 80, 26);
  place(kCloseButton, w - 218, h - 125, 80, 26);
  place(kDelete, 633, 431, 21, 20);
  place(kAdd, 633, 413, 21, 20);
  place(kCapture, 633, 391, 21, 20);
  place(kMenu, 612, 53, 40, 35);
  place(kSettings, 658, 53, 40, 35);
  place(kLookup, 705, 53, 40, 35);
  for (int i = 0; i < 6; ++i) place(kCategoryButtons[i].id, 13, 107 + 69 * i, 146, 69);
  place(kCodeSpam, 13, 521, 146, 74);
  buttons[kInformation]->Hide();
  buttons[kPolicy]->Hide();

  // The frame decorations and the spare labels exist but are never shown.
  const struct {
    int id, bitmap, x, y, width, height;
  } decorations[] = {{1001, 178, 0, 0, 10, 20},         {1002, 180, w - 10, 0, 10, 20}, {1003, 182, 0, 20, 4, h - 24},
                     {1004, 182, w - 4, 20, 4, h - 24}, {1005, 177, 0, h - 4, 4, 4},    {1006, 165, 4, h - 4, w - 8, 4},
                     {1007, 179, w - 4, h - 4, 4, 4}};
  for (const auto& d : decorations) {
    wxWindow* picture = FindWindow(d.id);
    if (picture == nullptr) picture = CreatePicture(d.id, d.bitmap, wxRect(d.x, d.y, d.width, d.height));
    picture->SetSize(d.x, d.y, d.width, d.height);
    picture->Hide();
  }
  const std::pair<int, const char*> spareLabels[] = {{1130, "메뉴"}, {1131, "환경설정"}, {1132, "민원확인"}};
  for (const auto& label : spareLabels) {
    if (FindWindow(label.first) == nullptr) new wxStaticText(this, label.first, wxString::FromUTF8(label.second));
    FindWindow(label.first)->Hide();
  }
}

void ReportWindow::SetupTooltips() {
  SetToolTip("Dunmere");
  const std::pair<int, const char*> tips[] = {
      {kMenu, "메뉴"},
      {kLookup, "민원확인"},
      {kSettings, "환경설정"},
      {kEmailSpam, "E-MAIL 스팸"},
      {kPhoneSpam, "전화(휴대폰) 스팸"},
      {kResentSpam, "E-MAIL 수신거부 후 재전송"},
      {kBoardSpam, "게시판 스팸"},
      {kMediaSpam, "전자적 매체"},
      {kFaxSpam, "팩스 스팸"},
      {kCodeSpam, "악성코드"},
  };
  for (const auto& tip : tips) buttons[tip.first]->SetToolTip(wxString::FromUTF8(tip.second));
}

void ReportWindow::SetupAttachmentList() {
  attachmentList->SetupColumns();
  attachmentList->SetupHeaderCheckBox();
  attachmentList->SetHintText(wxString::FromUTF8("스팸메일 원본(.eml)을 마우스로 끌어오세요"));
  AttachmentList::DropFilter filter;
  filter.flags = AttachmentList::kAcceptFiles | AttachmentList::kAcceptFolders;
  attachmentList->SetDropFilter(filter);
}

void ReportWindow::SetDisplayMode(int show) {
  if (show == 5) {
    mode = 1;
    browser->SetSize(1, 1, 1, 1);
  } else {
    mode = 0;
    browser->SetSize(159, 105, 610, 490);
  }
  for (wxWindow* control : formControls) control->Show(show == 5);
  Refresh();
}

void ReportWindow::LoadProfileFields() {
  const PersonalProfile& profile = PersonalProfile::Global();
  SaveFields();
  nameText = Cp949::ToWx(profile.name);
  emailText = Cp949::ToWx(profile.email);
  tel1Text = Cp949::ToWx(profile.tel1);
  tel2Text = Cp949::ToWx(profile.tel2);
  tel3Text = Cp949::ToWx(profile.tel3);
  passwordText = Cp949::ToWx(profile.reportPassword);
  passwordConfirmText = passwordText;
  LoadFields();
}

void ReportWindow::SaveFields() {
  if (edits.empty()) return;
  nameText = edits[kName]->GetValue();
  tel1Text = edits[kTel1]->GetValue();
  tel2Text = edits[kTel2]->GetValue();
  tel3Text = edits[kTel3]->GetValue();
  emailText = edits[kEmail]->GetValue();
  passwordText = edits[kPassword]->GetValue();
  passwordConfirmText = edits[kPasswordConfirm]->GetValue();
  contentText = edits[kContent]->GetValue();
}

void ReportWindow::LoadFields() {
  if (edits.empty()) return;
  const std::pair<int, const wxString*> fields[] = {
      {kName, &nameText},
      {kTel1, &tel1Text},
      {kTel2, &tel2Text},
      {kTel3, &tel3Text},
      {kEmail, &emailText},
      {kPassword, &passwordText},
      {kPasswordConfirm, &passwordConfirmText},
      {kContent, &contentText},
  };
  // Only what differs is set, so the caret of an unchanged field stays put.
  for (const auto& field : fields)
    if (edits[field.first]->GetValue() != *field.second) edits[field.first]->ChangeValue(*field.second);
}

void ReportWindow::RefreshCategoryPage() { pageCommands->RefreshCategoryPage(); }

void ReportWindow::OnCategoryButton(int id) { pageCommands->OnCommand(id); }

void ReportWindow::SetCategory(int newCategory) {
  category = newCategory;
  UpdateCategoryLooks();
}

void ReportWindow::SetButtonLook(int control, const CategoryPage::Look& look) {
  SkinBitmapButton* button = GetButton(control);
  if (button == nullptr) return;
  button->SetLook(look.normal, look.pressed, look.focused, look.disabled);
  button->Refresh(false);
}

void ReportWindow::Navigate(const std::string& url) { browser->Navigate(wxString::FromUTF8(url.c_str())); }

std::string ReportWindow::GetLocationName() { return Utf8Text::ToCp949(browser->GetLocationName()); }

void ReportWindow::TransferFieldsToControls() {
  // The description is not part of the stored data: what is typed there stays.
  if (!edits.empty()) contentText = edits[kContent]->GetValue();
  LoadFields();
}

void ReportWindow::OpenInDefaultBrowser(const std::string& url) {
  wxLaunchDefaultBrowser(wxString::FromUTF8(url.c_str()));
}

void ReportWindow::UpdateCategoryLooks() {
  for (const CategoryButton& c : kCategoryButtons) {
    int up = c.up;
    if (c.category == category) up = c.focus;
    if (c.id == hoveredCategory) up = c.hover;
    SkinBitmapButton* button = buttons[c.id];
    if (button->GetLookId(SkinBitmapButton::kLookUp) != up) button->SetLook(up, c.down, c.focus, c.disabled);
  }
}

wxTextCtrl* ReportWindow::GetEdit(int id) const {
  const auto found = edits.find(id);
  return found == edits.end() ? nullptr : found->second;
}

SkinBitmapButton* ReportWindow::GetButton(int id) const {
  const auto found = buttons.find(id);
  return found == buttons.end() ? nullptr : found->second;
}

int ReportWindow::GetProgress() const { return progressBar->GetValue(); }

wxString ReportWindow::GetCountLabel() const { return countLabel->GetLabel(); }

void ReportWindow::SetPlainMessageSink(MessageSink* sink) { attachmentList->SetPlainMessageSink(sink); }

void ReportWindow::SetReportHistory(ReportHistory* history) {
  reportHistory = history;
  if (history == nullptr)
    attachmentList->SetAddCheck(nullptr);
  else
    attachmentList->SetAddCheck([history](const wxString& path, const MailSummary& summary) {
      return DuplicateQuestion::Allows(*history, path, summary);
    });
}

void ReportWindow::OnSend() {
  ReportFormCheck::Fields fields;
  fields.sending = sending;
  std::string tel2, tel3, content;
  if (!fields.sending) {
    // The fields, each of which must be writable in code page 949.
    SaveFields();
    const struct {
      const char* label;
      const wxString& text;
      std::string* out;
    } converted[] = {
        {"성명/상호", nameText, &fields.name},
        {"전화번호", tel1Text, &fields.tel1},
        {"전화번호", tel2Text, &tel2},
        {"전화번호", tel3Text, &tel3},
        {"E-Mail", emailText, &fields.email},
        {"비밀번호", passwordText, &fields.password},
        {"비밀번호 확인", passwordConfirmText, &fields.passwordConfirm},
        {"신고내용", contentText, &content},
    };
    for (const auto& field : converted) {
      if (Cp949::FromWx(field.text, field.out)) continue;
      fields.unstorableField = Utf8Text::ToCp949(field.label);
      break;
    }
  }
  fields.attachmentCount = static_cast<std::size_t>(attachmentList->Count());
  const FormProblem problem = ReportFormCheck::Check(fields);
  if (problem != FormProblem::kNone) {
    SayBytes(ReportFormCheck::MessageOf(problem, fields.unstorableField));
    if (problem == FormProblem::kPasswordMismatch) {
      passwordText.clear();
      passwordConfirmText.clear();
      LoadFields();
    }
    return;
  }
  // The attachments, each tested in row order; the first failure ends it.
  const std::vector<wxString> paths = attachmentList->Paths();
  for (const wxString& path : paths)
    if (!CheckAttachmentFile(path)) return;

  // 9: the worker gets its own copy of the form.
  ReportForm form;
  form.name = fields.name;
  form.email = fields.email;
  form.tel1 = fields.tel1;
  form.tel2 = tel2;
  form.tel3 = tel3;
  // Line breaks go out as CR LF, as the limit counts them.
  form.content = LineBreaks::ToCrLf(content);
  form.password = fields.password;
  for (const wxString& path : paths) form.attachmentPaths.push_back(NativePath::FromWx(path));
  sentPaths = paths;
  link->SetProgramDir(Cp949::FromWxLossy(programDir));
  sending = true;
  everSent = true;
  if (!ReportSender::Start(std::move(form), *link, ServerSettings::Current(), sending, reportHistory)) {
    sending = false;
    Say("전송을 시작하지 못했습니다. 잠시 후 다시 보내주시기 바랍니다.");
  }
}

void ReportWindow::OnContentChanged() {
  wxTextCtrl* content = edits[kContent];
  const wxString text = content->GetValue();
  std::vector<std::size_t> sources;
  const std::string measure = SentMeasure(text, &sources);
  contentText = text;
  if (!ReportFormCheck::ReachesContentLimit(measure)) return;
  const std::size_t fit = ReportFormCheck::CharactersWithinLimit(measure);
  const std::size_t keep = fit < sources.size() ? sources[fit] : text.length();
  if (keep < text.length()) {
    contentText = text.Left(keep);
    content->ChangeValue(contentText);
  }
  content->SetInsertionPointEnd();
  content->ShowPosition(content->GetLastPosition());
  SayBytes(ReportFormCheck::ContentLimitMessage());
}

bool ReportWindow::CleanTempFolder() {
  TempFolder::EmptyFiles(Cp949::FromWxLossy(programDir));
  return true;
}

bool ReportWindow::CheckAttachmentFile(const wxString& path) {
  const AttachmentRules::Verdict verdict = AttachmentRules::CheckFile(NativePath::FromWx(path));
  if (!verdict.Passed()) SayBytes(AttachmentRules::MessageOf(verdict));
  return verdict.Passed();
}

bool ReportWindow::ListChangesAllowed() const {
  if (!sending) return true;
  Say("현재 전송중입니다. 전송이 끝난후 첨부파일을 바꾸시기 바랍니다.");
  return false;
}

void ReportWindow::OnAddFiles() {
  if (!ListChangesAllowed()) return;
  if (attachmentList->Count() >= AttachmentRules::kMaxFiles)
    return SayBytes(AttachmentRules::MessageOf(AttachmentProblem::kTooMany));
  SaveFields();
  wxArrayString chosen;
  if (fileChooser) {
    chosen = fileChooser();
  } else {
    wxFileDialog dialog(this, wxString(), wxString(), wxString(),
                        "OutLook Mail (*.eml)|*.eml;*.EML|OutLook Mail (*.msg)|*.msg;*.MSG",
                        wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) dialog.GetPaths(chosen);
  }
  for (const wxString& path : chosen) {
    attachmentList->AddFile(path);
    LoadFields();
  }
}

void ReportWindow::OnDeleteChecked() {
  if (!ListChangesAllowed()) return;
  attachmentList->RemoveChecked();
}

void ReportWindow::OnCapture() {
  if (!ListChangesAllowed()) return;
  if (!desktop) desktop = Desktop::CreateNative();
  desktop->SetOwnWindow(DesktopIdOf(this));
  wxString ownCopy;
  const bool ownClipboard = OwnTextOnClipboard(&ownCopy);
  CaptureHost host(*this);
  MailClientCapture(*desktop, ServerSettings::Current().supportEmail).OnCapture(host, NativePath::FromWx(programDir));
  if (ownClipboard) {
    wxClipboardLocker locker;
    if (!!locker) wxTheClipboard->SetData(new wxTextDataObject(ownCopy));
  }
}

void ReportWindow::SetDesktop(std::unique_ptr<Desktop> newDesktop) { desktop = std::move(newDesktop); }

void ReportWindow::UpdateCountLabel() {
  countLabel->SetLabel(wxString::Format(wxString::FromUTF8("[총 %d개 첨부]"), attachmentList->Count()));
  countLabel->Refresh();
  countLabel->Update();
}

void ReportWindow::SetProgress(int percent) { progressBar->SetValue(std::max(0, std::min(100, percent))); }

void ReportWindow::OnRunEnded() {
  // Only the description goes; whatever was typed meanwhile elsewhere stays.
  SaveFields();
  contentText.clear();
  LoadFields();
}

void ReportWindow::OnAttachmentsCleared() {
  // The rows the report took go; a row added in the moment between the end
  // of the run and this notice stays.
  for (int i = attachmentList->Count() - 1; i >= 0; --i) {
    const wxString& path = attachmentList->Entry(i).path;
    if (std::find(sentPaths.begin(), sentPaths.end(), path) != sentPaths.end()) attachmentList->RemoveAt(i);
  }
  sentPaths.clear();
}

void ReportWindow::OnAttachmentsReceived(const std::vector<std::size_t>& received) {
  std::vector<wxString> gone;
  for (std::size_t index : received)
    if (index < sentPaths.size()) gone.push_back(sentPaths[index]);
  for (int i = attachmentList->Count() - 1; i >= 0; --i) {
    const wxString path = attachmentList->Entry(i).path;
    if (std::find(gone.begin(), gone.end(), path) == gone.end()) continue;
    RemoveCapturedFile(path);
    attachmentList->RemoveAt(i);
  }
  sentPaths.clear();
}

void ReportWindow::RemoveCapturedFile(const wxString& path) {
  // Only mail the capture saved in the temp folder; files the user added
  // from elsewhere are never touched.
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path file(NativePath::FromWx(path));
  if (fs::equivalent(file.parent_path(), fs::path(NativePath::FromWx(programDir + "temp")), error) && !error)
    fs::remove(file, error);
}

void ReportWindow::CloseWindow() {
  SaveFields();
  Hide();
}

bool ReportWindow::OnSkinKey(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE) {
    CloseWindow();
    return true;
  }
  if (key != WXK_RETURN && key != WXK_NUMPAD_ENTER) return false;
  wxWindow* focus = FindFocus();
  if (focus != nullptr) {
    if (focus == edits[kContent]) return false;  // a new line in the description
    if (dynamic_cast<SkinBitmapButton*>(focus) != nullptr) return false;
    for (wxWindow* w = focus; w != nullptr; w = w->GetParent())
      if (w == browser) return false;
  }
  CloseWindow();
  return true;
}

}  // namespace veradex
