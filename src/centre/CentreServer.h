#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "centre/CertificateAuthority.h"
#include "net/ServerConfig.h"

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct bio_st BIO;

namespace veradex::centre {

// An HTTPS server on a loopback port that plays the spam-report centre: the
// upload page, the report form page and the version page. One request per
// connection. Either a handler answers every request (the sandbox centre), or
// each page is answered from a list of prepared answers, which can also be
// told to misbehave (the tests). It can record every byte each connection
// sends. All texts are CP949 bytes.
//
// Requests are bounded: a head longer than kMaxHeadBytes gets 431, a body
// announced longer than kMaxBodyBytes gets 413, a body announced in chunks
// gets 411, each without the rest being read; beyond kMaxConnections open
// connections a new one is closed at once.
class CentreServer {
 public:
  static constexpr const char* kUploadPath = "/attach_query/attach.jsp";
  static constexpr const char* kFormPath = "/common/input_1.jsp";
  static constexpr const char* kVersionPath = "/veradex/veradex_version.html";
  // The report page the report window opens at start and the category
  // pages' forms post to.
  static constexpr const char* kReportPagePath = "/h_singo/singo.jsp";
  // A text of the report page's answer (ASCII, so a script can look for it).
  static constexpr const char* kReportPageMarker = "centre-report-page";

  // How an answer fails instead of being given.
  enum class Fault {
    kNone,
    kStallBeforeHead,    // read the request, then say nothing and keep the connection open
    kStallAfterHead,     // send the head only, then keep the connection open
    kResetMidUpload,     // after the first kilobyte of the request body, reset the connection
    kStallMidUpload,     // after the first kilobyte of the request body, stop reading and keep it open
    kCloseBeforeStatus,  // read the request, then close without a byte
    kTrickleReadUpload,  // read the request body one kilobyte per pause, from a small receive buffer
    kEndlessBody,        // send the head without a length, then body bytes until the client goes
    kTlsAlert,           // read the request, then send a fatal TLS alert and close
  };
  // How the answer's bytes are cut up on the way out.
  enum class Delivery {
    kWhole,               // one TLS record, one write
    kHeadThenBody,        // head and body in separate records, a pause between
    kHeadBytePerSegment,  // the head's record one byte per TCP segment
    kTinyTlsRecords,      // everything in TLS records of three bytes
    kSplitBody,           // head and body up to splitAt in one record, the rest after a pause
    kTrickle,             // one byte per TLS record, a pause before each
  };

  struct Answer {
    std::string statusLine = "HTTP/1.1 200 OK";
    std::vector<std::string> headerLines;  // each without CR LF
    std::string body;
    bool announceLength = true;  // adds "Content-Length:" for the body
    bool keepOpen = false;       // after answering, wait for the client to close
    Fault fault = Fault::kNone;
    Delivery delivery = Delivery::kWhole;
    std::size_t splitAt = 0;
    // When not empty, these bytes go out instead of head and body.
    std::string raw;
    // Given before the whole request was read (too long, no length): the
    // rest is dropped for a while after the answer.
    bool refusal = false;

    std::string Head() const;

    // The upload page: 200 with "Set-Cookie:" + cookieHeaderValue (none when empty).
    static Answer UploadAccepted(const std::string& cookieHeaderValue = " JSESSIONID=centre1; Path=/");
    // The upload page refusing: 200, no cookie, the failure text in the body.
    static Answer UploadFailed();
    // The form page: 200 and "접수되었습니다." or "접수되지." in the body.
    static Answer FormReceived();
    static Answer FormNotReceived();
    // The version page with the given body.
    static Answer VersionPage(const std::string& body);
    // The report page, for a GET and for a form posted to it: 200, an HTML
    // page in code page 949 without a title (the browser's location name is
    // then its address) that carries kReportPageMarker.
    static Answer ReportPage();
  };

  // One connection that completed its TLS handshake: the bytes it sent.
  struct Request {
    std::string bytes;
    std::string Method() const;
    std::string Path() const;  // the target as sent, query included
    std::string Head() const;  // up to and including the blank line
    std::string Body() const;  // after the blank line
    bool HasHeader(const std::string& line) const;
    // The value of the first header of that name (any case), blanks around
    // it removed; empty when there is none.
    std::string HeaderValue(const std::string& name) const;
  };
  // Answers a whole request (head and the announced body).
  using Handler = std::function<Answer(const Request&)>;

  static constexpr std::size_t kMaxHeadBytes = 64 * 1024;
  static constexpr long long kMaxBodyBytes = 10LL * 1024 * 1024;
  static constexpr int kMaxConnections = 256;

  // Judges a request's head (up to and including its blank line): true with
  // the announced body length, or false with the refusal to give.
  static bool AcceptHead(const Request& head, long long* bodyLength, Answer* refusal);

  explicit CentreServer(const CertifiedKey& identity);
  ~CentreServer();
  CentreServer(const CentreServer&) = delete;
  CentreServer& operator=(const CentreServer&) = delete;

  // Listens on 127.0.0.1 (port 0: any free port). False when it cannot.
  bool Start(int port = 0);
  // Closes the listener and every connection and waits for their threads.
  void Stop();
  int Port() const { return port_; }
  // "localhost" and the port, for a ServerConfig.
  ServerAddress Address() const;

  // The n-th request to path gets answers[n], the last one repeating.
  void SetAnswers(const std::string& path, std::vector<Answer> answers);
  void SetAnswer(const std::string& path, Answer answer) { SetAnswers(path, {std::move(answer)}); }
  // Accept TCP connections but never speak TLS on them.
  void SetStallHandshake(bool stall);
  // The newest TLS version the centre speaks (e.g. TLS1_1_VERSION); older
  // versions are then allowed too. Call before connections arrive.
  void SetProtocolCeiling(int version);
  // Session tickets sent after each handshake (none by default), so clients
  // can resume their TLS sessions as with an ordinary HTTPS server. Call
  // before connections arrive.
  void SetSessionTickets(int count);
  // Pause between the pieces of a delayed delivery.
  void SetPauseMilliseconds(int milliseconds);
  // From now on every request goes to the handler; prepared answers and
  // faults no longer apply.
  void SetHandler(Handler handler);
  // Whether the bytes of each request are kept for Requests() (on by default;
  // a long-running centre turns it off).
  void SetRecording(bool recording);
  // The kernel's receive buffer of connections accepted from now on, in
  // bytes (0: the system's), with segments of an ordinary network's size
  // instead of loopback's 64 KiB, which let a client's kernel take whole
  // megabytes at once. A small buffer keeps a client's upload from vanishing
  // into buffers: its writes then wait on what the centre reads.
  void SetReceiveBufferBytes(int bytes);
  // A client that stays silent this long (handshake or request) is closed;
  // 0 (the default) waits for ever.
  void SetIdleTimeoutSeconds(int seconds);

  std::vector<Request> Requests() const;
  std::vector<Request> RequestsTo(const std::string& path) const;
  // Request bytes received over all connections.
  std::size_t BytesReceived() const;
  int ConnectionsAccepted() const { return accepted_.load(); }
  int HandshakesCompleted() const { return handshakes_.load(); }
  int HandshakesFailed() const { return handshakeFailures_.load(); }
  // Handshakes that resumed an earlier session.
  int HandshakesResumed() const { return resumed_.load(); }
  // Waits until `count` connections have ended (true) or the time-out passes.
  bool WaitForFinishedConnections(int count, int timeoutMilliseconds) const;
  void ClearRecords();

 private:
  void AcceptLoop();
  void Serve(int socket);
  Answer AnswerFor(const std::string& path);
  void HoldOpen(int socket) const;
  // Keeps the connection open without reading until the client closes it.
  void HoldUnread(int socket) const;
  void DropUnread(int socket) const;
  bool Flush(SSL* session, int socket, bool bytePerSegment) const;
  bool Deliver(SSL* session, int socket, const Answer& answer) const;
  void Pause() const;
  void Finished();
  void ServeConnection(int socket);
  void JoinEndedThreads();
  // Moves up to a kilobyte from the socket into the session's reading end
  // after a pause; false when the client has gone.
  bool TrickleIn(int socket, BIO* into) const;
  void SendEndlessBody(SSL* session, int socket, const Answer& answer) const;
  // Reads the request; the answer to give, or false when there is none to give.
  bool ReadRequest(SSL* session, int socket, std::size_t slot, Answer* answer, bool* reset);

  SSL_CTX* context_ = nullptr;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> stallHandshake_{false};
  std::atomic<int> pauseMilliseconds_{100};
  std::atomic<bool> recording_{true};
  std::atomic<int> idleTimeoutSeconds_{0};
  std::atomic<int> receiveBufferBytes_{0};
  std::atomic<int> accepted_{0};
  std::atomic<int> handshakes_{0};
  std::atomic<int> handshakeFailures_{0};
  std::atomic<int> resumed_{0};
  std::thread acceptThread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable finishedChanged_;
  int finished_ = 0;
  std::map<std::thread::id, std::thread> connectionThreads_;
  std::vector<std::thread::id> endedThreads_;
  Handler handler_;
  std::set<int> openSockets_;
  std::map<std::string, std::vector<Answer>> answers_;
  std::map<std::string, std::size_t> served_;
  std::vector<Request> requests_;
};

}  // namespace veradex::centre
