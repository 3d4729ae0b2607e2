#pragma once

#include <string>

namespace veradex {

class PersonalProfile;

// The placeholders of a report form template and how they are filled. The
// text is code page 949 bytes; every placeholder is plain ASCII starting with
// "__", which no double-byte character can contain, so a placeholder is
// always found at a character boundary.
class PageTemplate {
 public:
  // Our own placeholder for the report host the forms post to; filled on
  // every page, after all the others.
  static constexpr const char* kReportHostToken = "__report_host__";

  // Fills the placeholder groups named by tokens (CategoryPage::TokenSet
  // bits) in their fixed order: name, e-mail, telephone parts, mobile parts,
  // report password, the three years, the four carriers; then the report
  // host. Each token is replaced wherever it occurs, so a value that contains
  // a later token has that token replaced too. Profile values are written
  // HTML-escaped, since they land inside attribute values.
  static std::string Fill(const std::string& text, unsigned tokens, const PersonalProfile& profile, int year,
                          const std::string& reportHost);

  // Replaces every occurrence of token, left to right; replaced text is not
  // searched again for the same token.
  static void ReplaceAll(std::string& text, const std::string& token, const std::string& value);

  // The carrier placeholder that receives "selected": "__SKT__", "__KT__" or
  // "__LGT__" for those exact values, "__ETC__" for anything else.
  static const char* CarrierToken(const std::string& carrier);

  // '&', '<', '>', '"' and '\'' as character references; other bytes as they
  // are (none of these five is ever the second byte of a CP949 character).
  static std::string EscapeHtml(const std::string& value);
};

}  // namespace veradex
