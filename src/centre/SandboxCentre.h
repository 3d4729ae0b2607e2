#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "centre/CentreServer.h"
#include "centre/ReportStore.h"

namespace veradex::centre {

// The sandbox report centre's answers: the program's three pages (version,
// upload with a session cookie, report form with the verdict texts), the
// category pages' and the lookup page's posts to "/h_singo/singo.jsp", and
// for people the list of received reports ("/") with the stored files
// ("/files/<id>/<name>"). Reports go to the store.
class SandboxCentre {
 public:
  SandboxCentre(ReportStore& store, std::string version);

  CentreServer::Answer Respond(const CentreServer::Request& request);

  // The session named by a request's Cookie header (JSESSIONID); empty
  // when there is none.
  static std::string SessionOf(const CentreServer::Request& request);

  static constexpr const char* kResultPath = "/h_singo/lookup.html";
  static constexpr std::size_t kMaxResults = 100;

 private:
  CentreServer::Answer Upload(const CentreServer::Request& request);
  CentreServer::Answer ReportForm(const CentreServer::Request& request);
  CentreServer::Answer ReportPage(const CentreServer::Request& request);
  CentreServer::Answer StoredFile(const std::string& path);
  // The lookup's answer is a redirection to its result page: the program
  // renders its category page again after any page whose address names
  // singo.jsp, so a result shown there would vanish at once.
  CentreServer::Answer RedirectToResult(const std::string& html);
  CentreServer::Answer Result(const std::string& target);

  ReportStore& store_;
  std::string version_;
  std::mutex mutex_;
  std::map<std::string, std::string> results_;  // by token, the newest kMaxResults
  std::deque<std::string> resultOrder_;
};

}  // namespace veradex::centre
