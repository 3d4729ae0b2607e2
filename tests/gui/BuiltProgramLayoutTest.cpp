// The build lays the program out as the directory rule of the category pages
// expects: every shipped template beside the executable.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "pages/CategoryPages.h"

namespace veradex {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(BuiltProgramLayout, TemplatesLieBesideTheProgram) {
  const std::string directory = CategoryPages::ProgramDirectory(VERADEX_EXECUTABLE);
  for (const char* name : {"PHONE_SPAM.bak", "EMAILRETURN_SPAM.bak", "BOARD_SPAM.bak", "Elec_Spam.bak", "Fax_Spam.bak",
                           "code_spam.bak", "search.bak", "search_2006.bak"}) {
    const std::string shipped = ReadBytes(std::string(VERADEX_SOURCE_DIR) + "/res/pages/" + name);
    ASSERT_FALSE(shipped.empty()) << name;
    EXPECT_TRUE(ReadBytes(directory + CategoryPages::kSeparator + name) == shipped) << name;
  }
}

}  // namespace
}  // namespace veradex
