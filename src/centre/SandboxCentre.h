#pragma once

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

 private:
  CentreServer::Answer Upload(const CentreServer::Request& request);
  CentreServer::Answer ReportForm(const CentreServer::Request& request);
  CentreServer::Answer ReportPage(const CentreServer::Request& request);
  CentreServer::Answer StoredFile(const std::string& path);

  ReportStore& store_;
  std::string version_;
};

}  // namespace veradex::centre
