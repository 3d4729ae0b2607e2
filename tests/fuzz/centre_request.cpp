// Requests to the sandbox centre, each as its server takes it: the head up to
// its blank line (at most 64 KiB) judged for its body length, the body cut
// to that length, then answered by the sandbox's pages with a store of its
// own. One input carries up to four requests (cut by SplitFields), so an
// upload can be followed by its report form, a lookup or the list.

#include "FuzzSupport.h"
#include "centre/CentreServer.h"
#include "centre/ReportStore.h"
#include "centre/SandboxCentre.h"

using namespace veradex;
using namespace veradex::centre;
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::ClearScratchFolder();
  ReportStore store;
  std::string error;
  fuzz::Require(store.Open(fuzz::ScratchFolder(), &error), "the store opens");
  SandboxCentre centre(store, "5.3");
  std::string requests[4];
  const std::size_t count = fuzz::SplitFields(data, size, requests, 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& bytes = requests[i];
    const auto end = bytes.find("\r\n\r\n");
    if (end == std::string::npos || end + 4 > CentreServer::kMaxHeadBytes) continue;
    const std::size_t headLength = end + 4;
    long long bodyLength = 0;
    CentreServer::Answer answer;
    if (!CentreServer::AcceptHead(CentreServer::Request{bytes.substr(0, headLength)}, &bodyLength, &answer)) {
      fuzz::Require(answer.refusal, "a refused head gets a refusal");
      continue;
    }
    if (bytes.size() - headLength < static_cast<std::size_t>(bodyLength)) continue;  // still waiting for the body
    const CentreServer::Request request{bytes.substr(0, headLength + static_cast<std::size_t>(bodyLength))};
    answer = centre.Respond(request);
    fuzz::Require(answer.statusLine.rfind("HTTP/1.1 ", 0) == 0, "every answer has a status line");
  }
  return 0;
}
