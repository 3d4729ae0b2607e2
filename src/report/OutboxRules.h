#pragma once

#include "net/NetError.h"
#include "report/SendResult.h"

namespace veradex {

// What becomes of a report that did not go through: which failures mean the
// centre could not be reached (the report may wait in the outbox and go out
// later) and which mean it must not go out again unchanged.
class OutboxRules {
 public:
  enum class Fate {
    kReceived,  // the centre received it
    kWait,      // not reached (or never tried): try again later
    kRefused,   // the centre refused it, or its file cannot be loaded: leaves the outbox
    kStop,      // the centre's certificate was refused: no more tries in this run of the program
  };

  // True for the failures of a centre that could not be reached: no name, no
  // connection, a time-out, a send or an answer that stalled or broke off.
  // A refused certificate, an unwanted status and a refusal are answers.
  static bool Unreachable(NetError error);
  static Fate FateOf(const AttachmentOutcome& outcome);
  // After a send from the window: whether to offer keeping what was not
  // received for later. Only when every report not received is waiting for a
  // centre that could not be reached.
  static bool Offers(const SendResult& result);
};

}  // namespace veradex
