#include "pages/PageTemplate.h"

#include "pages/CategoryPage.h"
#include "profile/PersonalProfile.h"

namespace veradex {

std::string PageTemplate::Fill(const std::string& text, unsigned tokens, const PersonalProfile& profile, int year,
                               const std::string& reportHost) {
  std::string page = text;
  const auto put = [&page](const char* token, const std::string& value) { ReplaceAll(page, token, EscapeHtml(value)); };
  if (tokens & CategoryPage::kContactTokens) {
    put("__name__", profile.name);
    put("__email__", profile.email);
    put("__tel1__", profile.tel1);
    put("__tel2__", profile.tel2);
    put("__tel3__", profile.tel3);
  }
  if (tokens & CategoryPage::kMobileTokens) {
    put("__mtel1__", profile.mtel1);
    put("__mtel2__", profile.mtel2);
    put("__mtel3__", profile.mtel3);
  }
  if (tokens & CategoryPage::kPasswordToken) put("__singo_pw__", profile.reportPassword);
  if (tokens & CategoryPage::kYearTokens) {
    ReplaceAll(page, "__now_year__", std::to_string(year));
    ReplaceAll(page, "__before_year__", std::to_string(year - 1));
    ReplaceAll(page, "__the_before_year__", std::to_string(year - 2));
  }
  if (tokens & CategoryPage::kCarrierTokens) {
    const std::string selected = CarrierToken(profile.carrier);
    for (const char* token : {"__SKT__", "__LGT__", "__KT__", "__ETC__"})
      ReplaceAll(page, token, selected == token ? "selected" : "");
  }
  put(kReportHostToken, reportHost);
  return page;
}

void PageTemplate::ReplaceAll(std::string& text, const std::string& token, const std::string& value) {
  if (token.empty()) return;
  std::string::size_type at = text.find(token);
  if (at == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  std::string::size_type from = 0;
  while (at != std::string::npos) {
    out.append(text, from, at - from);
    out += value;
    from = at + token.size();
    at = text.find(token, from);
  }
  out.append(text, from, std::string::npos);
  text.swap(out);
}

const char* PageTemplate::CarrierToken(const std::string& carrier) {
  if (carrier == "SKT") return "__SKT__";
  if (carrier == "KT") return "__KT__";
  if (carrier == "LGT") return "__LGT__";
  return "__ETC__";
}

std::string PageTemplate::EscapeHtml(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace veradex
