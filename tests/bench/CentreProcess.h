#pragma once

#include <sys/types.h>

#include <string>

#include "net/ServerConfig.h"

namespace veradex::test {

// The test report centre in a child process, so its threads and buffers do
// not count against the process being measured. Start it before any thread
// of the caller exists (it forks). The centre ends with this object.
class CentreProcess {
 public:
  CentreProcess();
  ~CentreProcess();
  CentreProcess(const CentreProcess&) = delete;
  CentreProcess& operator=(const CentreProcess&) = delete;

  bool Ok() const { return port_ > 0; }
  int Port() const { return port_; }
  // The authority's certificate (PEM file) the centre's identity is signed by.
  const std::string& CaFile() const { return caFile_; }
  // Report and version host: the centre, trusted through CaFile().
  ServerConfig Config(int timeoutSeconds = 10) const;
  // "https://localhost:<port>" + path.
  std::string Url(const std::string& path) const;

 private:
  pid_t child_ = -1;
  int toChild_ = -1;
  int port_ = 0;
  std::string caFile_;
};

}  // namespace veradex::test
