#include "support/FailingAssertHandler.h"

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/string.h>

#include <string>

namespace veradex::test {

namespace {

void FailTheTest(const wxString& file, int line, const wxString& function, const wxString& condition,
                 const wxString& message) {
  const std::string place(file.utf8_str());
  ADD_FAILURE_AT(place.c_str(), line) << "wx assertion failed in " << function.utf8_str()
                                      << "(): " << condition.utf8_str() << " - " << message.utf8_str();
}

}  // namespace

void InstallFailingAssertHandler() { wxSetAssertHandler(&FailTheTest); }

}  // namespace veradex::test
