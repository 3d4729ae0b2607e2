// The report form's answer: the verdict texts looked for in what the
// server sends, however it is cut up, and the body kept for the history.
#include "FuzzSupport.h"
#include "net/HttpExchange.h"

using namespace veradex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string request = HttpExchange::FormRequest("/common/input_1.jsp", " a=b", "localhost", "x=1");
  fuzz::FuzzStream stream(data, size);
  std::string answerBody;
  const NetResult<void> verdict = HttpExchange::FormOver(stream, request, &answerBody);
  fuzz::Require(stream.Sent() == request, "the request went out whole");
  if (verdict) fuzz::Require(size > 1, "an empty answer is no verdict");
  fuzz::Require(answerBody.size() <= (size > 0 ? size - 1 : 0), "the body kept is part of what came");
  return 0;
}
