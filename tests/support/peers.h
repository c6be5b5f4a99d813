// Loopback peers for tests. Each binds 127.0.0.1 at a port the system picks (or
// one asked for), serves on a thread of its own with blocking sockets and
// bounded waits, records every byte it receives, and is stopped and joined when
// it goes out of scope. No peer ever talks to anything but loopback.
//
// The thread calls the virtual Serve(), so it may only start once the whole object
// exists: every peer that can be made is final, calls Start() as the last step of
// its constructor and Stop() as the first step of its destructor.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class LoopbackPeer {
 public:
  virtual ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  // False when the socket could not be bound (for example a port asked for is taken).
  bool ok() const { return port_ != 0; }
  int port() const { return port_; }
  std::string PortText() const { return std::to_string(port_); }

  std::string Received() const;                        // every byte received so far, in order
  int Accepted() const { return accepted_; }           // TCP connections accepted so far
  bool ClientClosed() const { return clientClosed_; }  // the client closed or reset its end
  bool Done() const { return done_; }                  // a one-shot peer has finished its job

 protected:
  LoopbackPeer();
  // Binds (and for TCP listens) on 127.0.0.1:port; receiveBuffer, when given, is set
  // before listening so that accepted clients take it over.
  void Listen(bool tcp, int port, int backlog = 4, int receiveBuffer = 0);
  // Runs Serve() on the thread, if Listen() succeeded.
  void Start();
  virtual void Serve() = 0;
  void Stop();

  // Waits until socket can be read or stop is asked; false on stop or after timeoutMs.
  bool WaitReadable(uintptr_t socket, int timeoutMs);
  // Accepts one client, waiting up to timeoutMs; 0 when none came.
  uintptr_t AcceptClient(int timeoutMs);
  void Record(const char* data, int count);
  // Reads and records what client sends until it closes (ClientClosed), falls silent
  // for the peers' wait, or stop is asked; each piece also goes to onPiece, which
  // returns false to stop reading.
  void ReadClient(uintptr_t client, const std::function<bool(const std::string&)>& onPiece);
  bool SendAll(uintptr_t socket, const std::string& bytes);
  static void CloseSocket(uintptr_t socket);

  uintptr_t listener_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::atomic<bool> clientClosed_{false};
  std::atomic<bool> done_{false};

 private:
  int port_ = 0;
  mutable std::mutex mutex_;
  std::string received_;
  std::thread thread_;
};

// Echoes every byte back; serves clients one after another.
class TcpEchoServer final : public LoopbackPeer {
 public:
  explicit TcpEchoServer(int port = 0);
  ~TcpEchoServer() override;

 protected:
  void Serve() override;
};

// Accepts one client, sends text, then ends the connection: with a close (FIN),
// or with a reset (SO_LINGER 0, RST). A held server waits for Release() before
// sending, so that a test can choose the moment.
class OneShotServer : public LoopbackPeer {
 public:
  void Release() { released_ = true; }

 protected:
  enum class Ending { Close, Reset };
  OneShotServer(std::string text, Ending ending, bool held);
  void Serve() override;

 private:
  std::string text_;
  Ending ending_;
  std::atomic<bool> released_;
};

// Sends a line and closes at once, like a daytime server or an HTTP/1.0 reply.
class LineThenCloseServer final : public OneShotServer {
 public:
  explicit LineThenCloseServer(std::string line, bool held = false)
      : OneShotServer(std::move(line), Ending::Close, held) {
    Start();
  }
  ~LineThenCloseServer() override { Stop(); }
};

// Resets the connection (SO_LINGER 0) after sending text, which may be empty.
class ResettingServer final : public OneShotServer {
 public:
  explicit ResettingServer(std::string text = std::string(), bool held = false)
      : OneShotServer(std::move(text), Ending::Reset, held) {
    Start();
  }
  ~ResettingServer() override { Stop(); }
};

// Keeps its accept queue full, so that a connect to it stays pending (the system
// drops its SYN and retries after a second or more) until Release() makes room.
// Then it accepts every client and holds it open until it goes out of scope.
class QueueFullServer final : public LoopbackPeer {
 public:
  QueueFullServer();
  ~QueueFullServer() override;
  void Release() { released_ = true; }

 protected:
  void Serve() override;

 private:
  uintptr_t filler_ = 0;  // the one connection that fills the queue
  std::atomic<bool> released_{false};
};

// Sends every datagram back to its sender. A held server only records what comes
// until Release().
class UdpEchoServer final : public LoopbackPeer {
 public:
  explicit UdpEchoServer(bool held = false);
  ~UdpEchoServer() override;
  void Release() { released_ = true; }

 protected:
  void Serve() override;

 private:
  std::atomic<bool> released_;
};

// A port that refuses connections: bound but never listening, and held so that
// nothing else can take it while the test runs.
class ClosedPort {
 public:
  ClosedPort();
  ~ClosedPort();
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  int port() const { return port_; }
  std::string PortText() const { return std::to_string(port_); }

 private:
  uintptr_t socket_ = 0;
  int port_ = 0;
};
