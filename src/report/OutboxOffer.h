#pragma once

#include <string>
#include <vector>

#include "report/SendResult.h"

namespace veradex {

class MessageSink;
class Outbox;

// After a send from the window that could not reach the centre (the failure
// message has been shown): asks "인터넷 연결이 복구되면 자동으로 보내시겠습니까?"
// and on Yes keeps what was not received in the outbox. When the outbox has
// no room, says why instead of asking.
class OutboxOffer {
 public:
  // True when the report was kept; kept then holds the paths (as the file
  // system spells them) of the attachments that went into the outbox.
  static bool Make(Outbox& outbox, const SendResult& result, MessageSink& sink, std::vector<std::string>* kept);
};

}  // namespace veradex
