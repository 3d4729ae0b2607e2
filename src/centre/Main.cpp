// veradex-centre: a report centre of one's own for trying the program out.
// It keeps its certificate authority, its database and the received files in
// its data folder and answers on a loopback port until it is stopped.
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "centre/CentreServer.h"
#include "centre/CertificateAuthority.h"
#include "centre/ReportStore.h"
#include "centre/SandboxCentre.h"
#include "platform/UserFolders.h"

namespace {

namespace fs = std::filesystem;
using namespace veradex::centre;

constexpr long kDay = 24L * 60 * 60;
constexpr int kIdleSeconds = 30;

const char kUsage[] =
    "Usage: veradex-centre [--data DIR] [--port N] [--version TEXT]\n"
    "  --data DIR      where the certificate authority, reports.sqlite and the received\n"
    "                  files are kept (default $XDG_DATA_HOME/Ambrel/veradex-centre)\n"
    "  --port N        loopback port to listen on (default: a free one)\n"
    "  --version TEXT  the program version the version page publishes (default 5.3)\n";

// Empty when no home folder is known: the centre then asks for --data.
std::string DefaultDataFolder() {
  const std::string base = veradex::UserFolders::Base(veradex::UserFolders::Kind::kData);
  return base.empty() ? std::string() : base + "/Ambrel/veradex-centre";
}

bool ReadFile(const fs::path& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  *bytes = out.str();
  return static_cast<bool>(in);
}

bool WriteFile(const fs::path& path, const std::string& bytes, mode_t mode) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return out && ::chmod(path.c_str(), mode) == 0;
}

// The authority kept in the data folder, made on the first start.
std::unique_ptr<CertificateAuthority> KeptAuthority(const fs::path& folder, std::string* error) {
  const fs::path certificate = folder / "ca.pem";
  const fs::path key = folder / "ca-key.pem";
  if (fs::exists(certificate) || fs::exists(key)) {
    CertifiedKey kept;
    if (!ReadFile(certificate, &kept.certificatePem) || !ReadFile(key, &kept.privateKeyPem)) {
      *error = "cannot read " + certificate.string() + " and " + key.string();
      return nullptr;
    }
    auto authority = CertificateAuthority::FromPem(kept);
    if (!authority) *error = certificate.string() + " and " + key.string() + " are no certificate authority";
    return authority;
  }
  auto authority = std::make_unique<CertificateAuthority>("Veradex Sandbox Centre Authority", 3650);
  const CertifiedKey pem = authority->ToPem();
  if (!WriteFile(key, pem.privateKeyPem, 0600) || !WriteFile(certificate, pem.certificatePem, 0644)) {
    *error = "cannot write the certificate authority into " + folder.string();
    return nullptr;
  }
  return authority;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data = DefaultDataFolder();
  std::string version = "5.3";
  int port = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (option == "--data" && hasValue) {
      data = argv[++i];
    } else if (option == "--version" && hasValue) {
      version = argv[++i];
    } else if (option == "--port" && hasValue) {
      const std::string text = argv[++i];
      if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(text) > 65535) {
        std::cerr << "veradex-centre: not a port: " << text << "\n" << kUsage;
        return 2;
      }
      port = std::stoi(text);
    } else {
      std::cerr << "veradex-centre: unknown option " << option << "\n" << kUsage;
      return 2;
    }
  }

  if (data.empty()) {
    std::cerr << "veradex-centre: no home folder is known; name the data folder with --data\n" << kUsage;
    return 2;
  }
  std::error_code made;
  fs::create_directories(data, made);
  if (made || !fs::is_directory(data)) {
    std::cerr << "veradex-centre: cannot use the data folder " << data << "\n";
    return 1;
  }
  data = fs::canonical(data).string();

  // Stop on SIGINT or SIGTERM: blocked here, so every thread inherits the
  // mask and the main thread takes them with sigwait.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::string error;
  const auto authority = KeptAuthority(data, &error);
  if (!authority) {
    std::cerr << "veradex-centre: " << error << "\n";
    return 1;
  }
  ReportStore store;
  if (!store.Open(data, &error)) {
    std::cerr << "veradex-centre: " << error << "\n";
    return 1;
  }
  SandboxCentre sandbox(store, version);
  CentreServer server(authority->IssueFor({"localhost"}, {"127.0.0.1"}, -kDay, 365 * kDay));
  server.SetRecording(false);
  server.SetIdleTimeoutSeconds(kIdleSeconds);
  server.SetHandler([&sandbox](const CentreServer::Request& request) { return sandbox.Respond(request); });
  if (!server.Start(port)) {
    std::cerr << "veradex-centre: cannot listen on port " << port << " of 127.0.0.1\n";
    return 1;
  }
  std::cout << "listening https://localhost:" << server.Port() << "/ data " << data << " ca " << data << "/ca.pem"
            << std::endl;

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.Stop();
  return 0;
}
