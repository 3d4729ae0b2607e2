#pragma once

namespace veradex {

// Control ids of the report window, whichever part of it owns the control:
// the window's own tool buttons, browser and labels, the e-mail report view
// (EmailReportPanel) and the category buttons (CategoryButtonBar).
struct ReportWindowIds {
  enum Id : int {
    kCountLabel = 1000,
    kMinimise = 1010,
    kMaximise = 1011,
    kClose = 1012,
    kCloseButton = 1023,
    kName = 1040,
    kTel1 = 1041,
    kTel2 = 1042,
    kEmail = 1045,
    kTel3 = 1046,
    kPassword = 1048,
    kPasswordConfirm = 1049,
    kContent = 1050,
    kSend = 1057,
    kCapture = 1058,
    kAdd = 1064,
    kMenu = 1070,
    kInformation = 1071,
    kSettings = 1072,
    kProgress = 1080,
    kLookup = 1085,
    kEmailSpam = 1094,
    kPhoneSpam = 1095,
    kResentSpam = 1096,
    kBoardSpam = 1097,
    kMediaSpam = 1098,
    kFaxSpam = 1100,
    kCodeSpam = 1101,
    kPolicy = 1102,
    kBrowser = 1118,
    kAttachmentList = 1120,
    kDelete = 1121,
    kVersionLabel = 1129,
  };
};

}  // namespace veradex
