#pragma once
#include <memory>

#include "media/framework/AsfWriter.h"

namespace media::net {
class AsfStreamServer;
}

namespace media::gst {

// The writer's network sink (CLSID_WMWriterNetworkSink, made through
// WMCreateWriterNetworkSink): an HTTP server of the live ASF stream on all
// interfaces. An ASF writer it is added to (IWMWriterAdvanced2::AddSink)
// feeds it from a streamable muxer of the writer's own, so the server never
// holds back the file. Only HTTP is spoken. User-interface thread; the server
// does its network work on its own thread.
class NetworkSinkAdapter : public IWMWriterNetworkSink {
 public:
  NetworkSinkAdapter();
  ~NetworkSinkAdapter() override;

  HRESULT SetMaximumClients(DWORD maxClients) override;
  HRESULT GetMaximumClients(DWORD& maxClients) override;
  // WMT_PROTOCOL_HTTP only; E_INVALIDARG for another.
  HRESULT SetNetworkProtocol(DWORD protocol) override;
  HRESULT GetNetworkProtocol(DWORD& protocol) override;
  // The port in use (another writer's or program's) answers
  // HRESULT_FROM_WIN32(WSAEADDRINUSE); a port above 65535 E_INVALIDARG; an
  // open sink E_UNEXPECTED. port is left as it was on failure.
  HRESULT Open(DWORD& port) override;
  HRESULT Disconnect() override;
  HRESULT Close() override;

  // The server the writer's network branch feeds; it lives as long as the
  // sink.
  net::AsfStreamServer& Server() { return *server_; }

 private:
  std::unique_ptr<net::AsfStreamServer> server_;
};

}  // namespace media::gst
