#include "media/gst/NetworkSinkAdapter.h"

#include <cerrno>

#include "media/gst/net/AsfStreamServer.h"

namespace media::gst {
namespace {

HRESULT ResultOf(const std::error_code& error) {
  if (!error) return S_OK;
  if (error.category() != std::generic_category() && error.category() != std::system_category()) return E_FAIL;
  switch (error.value()) {
    case EADDRINUSE: return HRESULT_FROM_WIN32(WSAEADDRINUSE);
    case EINVAL: return E_INVALIDARG;
    case EBUSY: return E_UNEXPECTED;
    case EACCES: return E_ACCESSDENIED;
    default: return E_FAIL;
  }
}

}  // namespace

NetworkSinkAdapter::NetworkSinkAdapter() : server_(std::make_unique<net::AsfStreamServer>()) {}

NetworkSinkAdapter::~NetworkSinkAdapter() = default;

HRESULT NetworkSinkAdapter::SetMaximumClients(DWORD maxClients) {
  server_->setMaximumClients(maxClients);
  return S_OK;
}

HRESULT NetworkSinkAdapter::GetMaximumClients(DWORD& maxClients) {
  maxClients = server_->maximumClients();
  return S_OK;
}

HRESULT NetworkSinkAdapter::SetNetworkProtocol(DWORD protocol) {
  return protocol == WMT_PROTOCOL_HTTP ? S_OK : E_INVALIDARG;
}

HRESULT NetworkSinkAdapter::GetNetworkProtocol(DWORD& protocol) {
  protocol = WMT_PROTOCOL_HTTP;
  return S_OK;
}

HRESULT NetworkSinkAdapter::Open(DWORD& port) {
  std::uint32_t used = port;
  const HRESULT hr = ResultOf(server_->open(used));
  if (SUCCEEDED(hr)) port = used;
  return hr;
}

HRESULT NetworkSinkAdapter::Disconnect() {
  server_->disconnect();
  return S_OK;
}

HRESULT NetworkSinkAdapter::Close() {
  server_->close();
  return S_OK;
}

}  // namespace media::gst
