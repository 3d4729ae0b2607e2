#include "report/OutboxOffer.h"

#include <filesystem>
#include <system_error>

#include "platform/MessageSink.h"
#include "report/Outbox.h"
#include "report/OutboxRules.h"
#include "report/ReportTexts.h"

namespace veradex {

bool OutboxOffer::Make(Outbox& outbox, const SendResult& result, MessageSink& sink, std::vector<std::string>* kept) {
  if (!OutboxRules::Offers(result)) return false;
  // What the centre received stays received; the rest waits.
  ReportForm form = result.form;
  form.attachmentPaths.clear();
  long long bytes = 0;
  for (std::size_t i = 0; i < result.attachments.size() && i < result.form.attachmentPaths.size(); ++i) {
    if (OutboxRules::FateOf(result.attachments[i]) != OutboxRules::Fate::kWait) continue;
    const std::string& path = result.form.attachmentPaths[i];
    std::error_code error;
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    bytes += error ? 0 : static_cast<long long>(size);
    form.attachmentPaths.push_back(path);
  }
  if (form.attachmentPaths.empty()) return false;
  const Outbox::Room room = outbox.RoomFor(bytes);
  if (room != Outbox::Room::kFits) {
    sink.ShowMessage(Outbox::RoomText(room), kStyleStop);
    return false;
  }
  if (sink.ShowMessage(ReportTexts::Get(ReportTexts::kOutboxQuestion), kStyleQuestion) != kIdYes) return false;
  if (outbox.Add(form).empty()) {
    sink.ShowMessage(ReportTexts::Get(ReportTexts::kOutboxNotKept), kStyleStop);
    return false;
  }
  *kept = form.attachmentPaths;
  return true;
}

}  // namespace veradex
