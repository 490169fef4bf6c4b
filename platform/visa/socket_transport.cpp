// SPDX-License-Identifier: MIT
// Raw TCP/IP socket resources: the byte stream has no END; message ends come
// from the termination character, applied by the session above.
#include <utility>

#include "tcp_connection.h"
#include "transport.h"
#include "visa.h"

namespace visa {
namespace {

class SocketTransport final : public Transport {
 public:
  explicit SocketTransport(TcpConnection connection) : connection_(std::move(connection)) {}

  ViStatus write(const char* data, std::size_t size, bool, Deadline deadline) override {
    return connection_.write_all(data, size, deadline);
  }

  ViStatus read(char* data, std::size_t capacity, const ReadSettings&, Deadline deadline,
                std::size_t& got, bool& end) override {
    end = false;
    return connection_.read_some(data, capacity, deadline, got);
  }

  ViStatus discard_arrived() override { return connection_.discard_arrived(); }

  // A raw socket carries no clear to the instrument, so a reply already on its
  // way would be taken for the answer to the next query: what arrives until
  // the line has been quiet for a moment is dropped too.
  ViStatus clear(Deadline deadline) override { return connection_.discard_until_quiet(kQuietMs, deadline); }

  TcpConnection* tcp_connection() override { return &connection_; }
  std::string peer_address() const override { return connection_.peer_address(); }

 private:
  static constexpr int kQuietMs = 10;
  TcpConnection connection_;
};

}  // namespace

ViStatus open_socket_transport(const ResourceName& resource, const OpenRequest& request,
                               std::unique_ptr<Transport>& out) {
  TcpConnection connection;
  ViStatus st = TcpConnection::connect(resource.host, resource.port, request.deadline, connection);
  if (st != VI_SUCCESS) return st;
  out = std::make_unique<SocketTransport>(std::move(connection));
  return VI_SUCCESS;
}

}  // namespace visa
