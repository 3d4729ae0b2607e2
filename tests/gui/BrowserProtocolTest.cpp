// The lines between the report window and its browser process: every field
// comes back as it went, whatever it holds.
#include <gtest/gtest.h>

#include "ui/browser/BrowserProtocol.h"

namespace veradex {
namespace {

TEST(BrowserProtocol, FieldsComeBackAsTheyWent) {
  const std::vector<std::vector<std::string>> lines = {
      {"load", "file:///tmp/a b/PHONE_SPAM.html"},
      {"title", ""},
      {"script", "7", "document.forms[0].elements['name'].value = 'x\\\\s y';\n"},
      {"tls", "https://localhost:1/", "-----BEGIN CERTIFICATE-----\r\nAB\\CD\n-----END CERTIFICATE-----\n", ""},
      {"result", "3", "1", "\xEA\xB9\x80\xEB\x98\xA0 \\n"},
  };
  for (const auto& words : lines) {
    const std::string line = BrowserProtocol::Line(words);
    ASSERT_EQ(line.find('\n'), line.size() - 1) << words[0];
    EXPECT_EQ(BrowserProtocol::Words(line.substr(0, line.size() - 1)), words) << line;
  }
}

}  // namespace
}  // namespace veradex
