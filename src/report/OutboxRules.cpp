#include "report/OutboxRules.h"

namespace veradex {

bool OutboxRules::Unreachable(NetError error) {
  switch (error) {
    case NetError::kResolve:
    case NetError::kConnect:
    case NetError::kTimeout:
    case NetError::kSend:
    case NetError::kReceive:
      return true;
    case NetError::kCertificate:
    case NetError::kHttpStatus:
    case NetError::kRefused:
      return false;
  }
  return false;
}

OutboxRules::Fate OutboxRules::FateOf(const AttachmentOutcome& outcome) {
  if (outcome.verdict == ReportVerdict::kAccepted) return Fate::kReceived;
  if (!outcome.tried) return Fate::kWait;
  if (outcome.unloadable || !outcome.error) return Fate::kRefused;
  if (*outcome.error == NetError::kCertificate) return Fate::kStop;
  return Unreachable(*outcome.error) ? Fate::kWait : Fate::kRefused;
}

bool OutboxRules::Offers(const SendResult& result) {
  bool unreached = false;
  for (const AttachmentOutcome& outcome : result.attachments) {
    const Fate fate = FateOf(outcome);
    if (fate == Fate::kRefused || fate == Fate::kStop) return false;
    if (fate == Fate::kWait && outcome.tried) unreached = true;
  }
  return unreached;
}

}  // namespace veradex
