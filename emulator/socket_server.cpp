#include "socket_server.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>

namespace emulator {

struct SocketServer::ClientThread {
  UniqueFd fd;
  std::thread thread;
  std::atomic<bool> done{false};
};

namespace {

class SocketClient final : public Client {
 public:
  SocketClient(int fd, int wake_fd) : fd_(fd), wake_fd_(wake_fd) {}

  void send(std::string_view bytes) override {
    while (!bytes.empty() && !closed_) {
      ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        closed_ = true;
        return;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  void close() override {
    ::shutdown(fd_, SHUT_RDWR);
    closed_ = true;
  }

  bool pause(std::chrono::milliseconds duration) override {
    pollfd p{wake_fd_, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(duration.count())) == 0;
  }

  bool closed() const { return closed_; }

 private:
  int fd_;
  int wake_fd_;
  bool closed_ = false;
};

std::string numeric_host(const sockaddr* sa) {
  char text[INET6_ADDRSTRLEN] = {};
  if (sa->sa_family == AF_INET)
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, text, sizeof text);
  else
    ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(sa)->sin6_addr, text, sizeof text);
  return text;
}

}  // namespace

SocketServer::SocketServer(Instrument& instrument, Transcript* transcript)
    : instrument_(instrument), transcript_(transcript) {}

SocketServer::~SocketServer() { stop(); }

std::string SocketServer::start(const std::string& address, unsigned port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  std::string service = std::to_string(port);
  int rc = ::getaddrinfo(address.c_str(), service.c_str(), &hints, &list);
  if (rc != 0) return "cannot resolve " + address + ": " + ::gai_strerror(rc);
  std::string error = "no usable address for " + address;
  for (addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
    UniqueFd fd(::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol));
    if (!fd) continue;
    int one = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd.get(), ai->ai_addr, ai->ai_addrlen) != 0 || ::listen(fd.get(), 64) != 0) {
      error = "cannot listen on " + address + " port " + service + ": " + std::strerror(errno);
      continue;
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&bound), &len);
    address_ = numeric_host(reinterpret_cast<sockaddr*>(&bound));
    port_ = ntohs(bound.ss_family == AF_INET
                      ? reinterpret_cast<sockaddr_in*>(&bound)->sin_port
                      : reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    listener_ = std::move(fd);
    error.clear();
    break;
  }
  ::freeaddrinfo(list);
  if (!error.empty()) return error;
  wake_.reset(::eventfd(0, EFD_CLOEXEC));
  if (!wake_) return std::string("eventfd: ") + std::strerror(errno);
  acceptor_ = std::thread([this] { accept_loop(); });
  return {};
}

void SocketServer::stop() {
  if (stopping_.exchange(true)) return;
  if (wake_) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_.get(), &one, sizeof one);
  }
  if (acceptor_.joinable()) acceptor_.join();
  std::lock_guard lock(clients_mutex_);
  for (auto& client : clients_) {
    if (client->thread.joinable()) client->thread.join();
  }
  clients_.clear();
  listener_.reset();
}

void SocketServer::reap_finished() {
  std::lock_guard lock(clients_mutex_);
  for (auto it = clients_.begin(); it != clients_.end();) {
    if ((*it)->done) {
      (*it)->thread.join();
      it = clients_.erase(it);
    } else {
      ++it;
    }
  }
}

void SocketServer::accept_loop() {
  for (;;) {
    pollfd fds[2] = {{listener_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) return;
    reap_finished();
    int fd = ::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto client = std::make_unique<ClientThread>();
    client->fd.reset(fd);
    ClientThread& ref = *client;
    std::lock_guard lock(clients_mutex_);
    clients_.push_back(std::move(client));
    ref.thread = std::thread([this, &ref] { serve(ref); });
  }
}

void SocketServer::serve(ClientThread& thread) {
  std::unique_ptr<Connection> connection = instrument_.connect();
  SocketClient client(thread.fd.get(), wake_.get());
  std::string pending;
  char buffer[4096];
  while (!client.closed()) {
    pollfd fds[2] = {{thread.fd.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) break;
    ssize_t got = ::recv(thread.fd.get(), buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(got));
    std::size_t start = 0;
    for (std::size_t nl; !client.closed() && (nl = pending.find('\n', start)) != std::string::npos;
         start = nl + 1) {
      std::string_view line(pending.data() + start, nl - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (transcript_ != nullptr) transcript_->record(line);
      connection->on_line(line, client);
    }
    pending.erase(0, start);
  }
  thread.fd.reset();
  thread.done = true;
}

}  // namespace emulator
