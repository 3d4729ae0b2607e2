#include "MachineFloor.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>
#include <vector>

#include "support/TestCertificateAuthority.h"

namespace veradex::test {

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double TimeMs(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

SSL_CTX* ServerContext(const CertifiedKey& identity) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  BIO* certificate = BIO_new_mem_buf(identity.certificatePem.data(), static_cast<int>(identity.certificatePem.size()));
  BIO* key = BIO_new_mem_buf(identity.privateKeyPem.data(), static_cast<int>(identity.privateKeyPem.size()));
  X509* x509 = PEM_read_bio_X509(certificate, nullptr, nullptr, nullptr);
  EVP_PKEY* pkey = PEM_read_bio_PrivateKey(key, nullptr, nullptr, nullptr);
  SSL_CTX_use_certificate(context, x509);
  SSL_CTX_use_PrivateKey(context, pkey);
  X509_free(x509);
  EVP_PKEY_free(pkey);
  BIO_free(certificate);
  BIO_free(key);
  return context;
}

SSL_CTX* ClientContext(const std::string& authorityPem) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  BIO* bio = BIO_new_mem_buf(authorityPem.data(), static_cast<int>(authorityPem.size()));
  X509* authority = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
  X509_STORE_add_cert(SSL_CTX_get_cert_store(context), authority);
  X509_free(authority);
  BIO_free(bio);
  return context;
}

// One connection: TCP connect, handshake on both ends; the client's time.
double OneHandshake(SSL_CTX* server, SSL_CTX* client) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, 1);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::thread serving([&] {
    const int s = accept(listener, nullptr, nullptr);
    SSL* session = SSL_new(server);
    SSL_set_fd(session, s);
    SSL_accept(session);
    char byte;
    SSL_read(session, &byte, 1);  // until the client goes
    SSL_free(session);
    close(s);
  });
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  SSL* session = SSL_new(client);
  const double ms = TimeMs([&] {
    connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int noDelay = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    SSL_set_fd(session, s);
    SSL_set1_host(session, "localhost");
    SSL_connect(session);
  });
  SSL_free(session);
  close(s);
  serving.join();
  close(listener);
  return ms;
}

}  // namespace

MachineFloor MachineFloor::Measure(std::size_t bytes, int tries) {
  // The server end writes its session tickets after the handshake; the
  // client may have gone by then.
  std::signal(SIGPIPE, SIG_IGN);
  MachineFloor floor;
  TestCertificateAuthority authority;
  SSL_CTX* server = ServerContext(authority.Issue(TestCertificateAuthority::LeafKind::kValid));
  SSL_CTX* client = ClientContext(authority.CertificatePem());
  std::vector<double> handshakes;
  for (int i = 0; i < tries; ++i) handshakes.push_back(OneHandshake(server, client));
  SSL_CTX_free(server);
  SSL_CTX_free(client);
  floor.handshakeMs = Median(handshakes);

  constexpr std::size_t kRecord = 16384;
  std::vector<unsigned char> plain(bytes, 'x');
  std::vector<unsigned char> sealed(bytes + 16 * (bytes / kRecord + 1));
  std::vector<unsigned char> opened(bytes);
  const unsigned char key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  unsigned char iv[12] = {};
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "AES-128-GCM", nullptr);
  auto run = [&](bool encrypt) {
    std::size_t out = 0;
    for (std::size_t offset = 0; offset < bytes; offset += kRecord) {
      const int n = static_cast<int>(std::min(kRecord, bytes - offset));
      iv[11] = static_cast<unsigned char>(offset / kRecord);
      int written = 0;
      if (encrypt) {
        EVP_EncryptInit_ex2(context, cipher, key, iv, nullptr);
        EVP_EncryptUpdate(context, sealed.data() + out, &written, plain.data() + offset, n);
        int tail = 0;
        EVP_EncryptFinal_ex(context, sealed.data() + out + written, &tail);
        EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_GCM_GET_TAG, 16, sealed.data() + out + n);
      } else {
        EVP_DecryptInit_ex2(context, cipher, key, iv, nullptr);
        EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_GCM_SET_TAG, 16, sealed.data() + out + n);
        EVP_DecryptUpdate(context, opened.data() + offset, &written, sealed.data() + out, n);
        int tail = 0;
        EVP_DecryptFinal_ex(context, opened.data() + offset + written, &tail);
      }
      out += static_cast<std::size_t>(n) + 16;
    }
  };
  std::vector<double> encrypts, decrypts;
  for (int i = 0; i < tries; ++i) {
    encrypts.push_back(TimeMs([&] { run(true); }));
    decrypts.push_back(TimeMs([&] { run(false); }));
  }
  EVP_CIPHER_free(cipher);
  EVP_CIPHER_CTX_free(context);
  floor.encryptMs = Median(encrypts);
  floor.decryptMs = Median(decrypts);
  return floor;
}

}  // namespace veradex::test
