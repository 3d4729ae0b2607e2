#include "centre/CentrePages.h"

#include <cctype>
#include <map>

#include "centre/CentreTexts.h"
#include "centre/MailHeaders.h"

namespace veradex::centre {

namespace {

constexpr const char* kStyle =
    "body{font:14px/1.45 NanumGothic,'Nanum Gothic',sans-serif;margin:0;background:#f3f7f8;color:#22313d}"
    "header{background:#12506a;color:#fff;padding:12px 18px;border-bottom:3px solid #e8833a}"
    "h1{font-size:19px;margin:0 0 3px}header p{margin:0;font-size:12px;color:#d9ebf0}"
    "main{padding:10px 16px}table{border-collapse:collapse;width:100%;background:#fff}"
    "th,td{border:1px solid #c6d7dd;padding:5px 7px;vertical-align:top;text-align:left}"
    "th{background:#e8f1f4;color:#1b4356;white-space:nowrap}"
    ".nw{white-space:nowrap}.content{white-space:pre-wrap;min-width:160px;word-break:break-all;max-width:360px}.small{"
    "font-size:12px;color:#5a6d77}"
    ".refused{color:#b3261e;font-weight:bold}.received{color:#1d6b35;font-weight:bold}a{color:#12506a}";

std::string KindName(const std::string& kind) {
  static const std::map<std::string, const char*> names = {
      {"email", texts::kKindEmail}, {"phone", texts::kKindPhone}, {"email_return", texts::kKindEmailReturn},
      {"board", texts::kKindBoard}, {"elec", texts::kKindElec},   {"fax", texts::kKindFax},
      {"code", texts::kKindCode}};
  const auto found = names.find(kind);
  return found != names.end() ? found->second : CentrePages::Escape(kind);
}

std::string State(const std::string& verdict) {
  if (verdict == ReportStore::kReceived)
    return std::string("<span class=\"received\">") + texts::kStateReceived + "</span>";
  if (verdict == ReportStore::kRefused)
    return std::string("<span class=\"refused\">") + texts::kStateRefused + "</span>";
  return texts::kStateUploaded;
}

std::string Cell(const std::string& cp949) {
  return "<td class=\"nw\">" + CentrePages::Escape(CentrePages::FromCp949(cp949)) + "</td>";
}

std::string Head(const std::string& title) {
  return "<!DOCTYPE html>\n<html lang=\"ko\"><head><meta charset=\"utf-8\"><title>" + CentrePages::Escape(title) +
         "</title><style>" + kStyle + "</style></head><body>";
}

// The fields of a category form that have no column of their own.
std::string OtherFields(const StoredReport& report) {
  static const char* const shown[] = {"name",    "email", "tel1",     "tel2",         "tel3",       "mtel1",
                                      "mtel2",   "mtel3", "singo_pw", "spam_content", "singo_type", "content",
                                      "pwd",     "tel",   "filename", "ret_url",      "queryid",    "q_type",
                                      "channel", "menu",  "agree1"};
  std::string text;
  for (const auto& field : report.fields) {
    bool known = false;
    for (const char* name : shown) known = known || field.first == name;
    if (known || field.second.empty()) continue;
    text += CentrePages::Escape(CentrePages::FromCp949(field.first)) + ": " +
            CentrePages::Escape(CentrePages::FromCp949(field.second)) + "<br>";
  }
  return text;
}

}  // namespace

std::string CentrePages::Escape(const std::string& utf8) {
  std::string html;
  for (const char c : utf8) {
    switch (c) {
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '&':
        html += "&amp;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\'':
        html += "&#39;";
        break;
      default:
        html += c;
    }
  }
  return html;
}

std::string CentrePages::FromCp949(const std::string& bytes) { return MailHeaders::Cp949ToUtf8(bytes); }

std::string CentrePages::FileAddress(const StoredReport& report) {
  std::string address = "/files/" + std::to_string(report.id) + "/";
  const std::string name = report.storedFile.substr(report.storedFile.rfind('/') + 1);
  static const char hex[] = "0123456789ABCDEF";
  for (const char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '.' || c == '_' || c == '-') {
      address += c;
    } else {
      address += '%';
      address += hex[byte >> 4];
      address += hex[byte & 15];
    }
  }
  return address;
}

std::string CentrePages::List(const std::vector<StoredReport>& reports) {
  std::string page = Head(texts::kListTitle) + "<header><h1>" + texts::kListTitle + "</h1><p>" + texts::kListIntro +
                     "</p></header><main>";
  if (reports.empty()) return page + "<p>" + texts::kListEmpty + "</p></main></body></html>\n";
  page += std::string("<table><tr><th>") + texts::kNumber + "</th><th>" + texts::kTime + "</th><th>" + texts::kKind +
          "</th><th>" + texts::kName + "</th><th>" + texts::kEmail + "</th><th>" + texts::kTelephone + "</th><th>" +
          texts::kMobile + "</th><th>" + texts::kContent + "</th><th>" + texts::kAttachment + "</th><th>" +
          texts::kState + "</th></tr>\n";
  for (const auto& report : reports) {
    page += "<tr><td>" + std::to_string(report.id) + "</td><td class=\"nw\">" + Escape(report.received) +
            "</td><td class=\"nw\">" + KindName(report.kind) + "</td>" + Cell(report.name) + Cell(report.email) +
            Cell(report.tel) + Cell(report.mobile) + "<td><div class=\"content\">" + Escape(FromCp949(report.content)) +
            "</div>";
    const std::string others = OtherFields(report);
    if (!others.empty()) page += std::string("<div class=\"small\">") + others + "</div>";
    page += "</td><td>";
    if (!report.storedFile.empty()) {
      page += "<a href=\"" + FileAddress(report) + "\">" + Escape(FromCp949(report.fileName)) + "</a>";
      if (!report.mailSubject.empty())
        page +=
            std::string("<div class=\"small\">") + texts::kMailSubject + ": " + Escape(report.mailSubject) + "</div>";
      if (!report.mailFrom.empty())
        page += std::string("<div class=\"small\">") + texts::kMailFrom + ": " + Escape(report.mailFrom) + "</div>";
    } else if (!report.fileName.empty()) {
      page += Escape(FromCp949(report.fileName));
    }
    page += "</td><td>" + State(report.verdict) + "</td></tr>\n";
  }
  return page + "</table></main></body></html>\n";
}

std::string CentrePages::Lookup(const std::vector<StoredReport>& reports, const std::string& number, bool missing) {
  std::string page = Head(texts::kLookupTitle) + "<header><h1>" + texts::kLookupTitle + "</h1><p>" + texts::kLookupFor +
                     ": " + Escape(FromCp949(number)) + "</p></header><main>";
  if (missing) {
    page += std::string("<p>") + texts::kLookupMissing + "</p>";
  } else if (reports.empty()) {
    page += std::string("<p>") + texts::kLookupNone + "</p>";
  } else {
    page += std::string("<table><tr><th>") + texts::kNumber + "</th><th>" + texts::kTime + "</th><th>" + texts::kKind +
            "</th><th>" + texts::kContent + "</th><th>" + texts::kState + "</th></tr>\n";
    for (const auto& report : reports) {
      page += "<tr><td>" + std::to_string(report.id) + "</td><td class=\"nw\">" + Escape(report.received) +
              "</td><td class=\"nw\">" + KindName(report.kind) + "</td><td><div class=\"content\">" +
              Escape(FromCp949(report.content)) + "</div></td><td>" + State(report.verdict) + "</td></tr>\n";
    }
    page += "</table>";
  }
  return page + "<p><a href=\"javascript:history.back()\">" + texts::kBack + "</a></p></main></body></html>\n";
}

}  // namespace veradex::centre
