#pragma once

#include "net/ServerConfig.h"
#include "profile/ProfileStore.h"

namespace veradex {

// The servers of this run: the compiled defaults, each of which the profile
// section "servers" may override (values "report", "version", "info",
// "download", "support_email", "ca_file", a PEM file with one more
// certificate authority to trust, and the exchanges' limits "answer_limit"
// and "send_window" in seconds, see Deadline).
class ServerSettings {
 public:
  static ServerConfig Load(const ProfileStore& store);

  // Loaded from ProfileStore::Current() on first use; Reload() reads the
  // profile again (tests, settings changes).
  static const ServerConfig& Current();
  static void Reload();
};

}  // namespace veradex
