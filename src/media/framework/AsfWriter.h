#pragma once
// The ASF writer filter's configuration, its file sink, its advanced writer
// and the network sink that serves the encoded stream.
#include <memory>
#include <string>

#include "media/framework/Guid.h"
#include "media/framework/MediaTypes.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

class IConfigAsfWriter : public virtual IUnknown {
 public:
  // One of kWMProfiles; E_INVALIDARG for another identifier.
  virtual HRESULT ConfigureFilterUsingProfileGuid(const GUID& profile) = 0;
  virtual HRESULT GetCurrentProfileGuid(GUID& profile) = 0;
  virtual HRESULT SetIndexMode(bool index) = 0;
  virtual HRESULT GetIndexMode(bool& index) = 0;
};

inline constexpr DWORD AM_CONFIGASFWRITER_PARAM_AUTOINDEX = 1;
inline constexpr DWORD AM_CONFIGASFWRITER_PARAM_MULTIPASS = 2;
inline constexpr DWORD AM_CONFIGASFWRITER_PARAM_DONTCOMPRESS = 3;

class IConfigAsfWriter2 : public IConfigAsfWriter {
 public:
  virtual HRESULT SetParam(DWORD param, DWORD value1, DWORD value2) = 0;
  virtual HRESULT GetParam(DWORD param, DWORD& value1, DWORD& value2) = 0;
};

class IFileSinkFilter : public virtual IUnknown {
 public:
  // mediaType nil here. The file is created (replacing one of that name) when
  // the graph runs.
  virtual HRESULT SetFileName(const std::u16string& fileName, const AM_MEDIA_TYPE* mediaType) = 0;
  // mediaType may be nil; when given it is filled and freed by the caller.
  virtual HRESULT GetCurFile(std::u16string& fileName, AM_MEDIA_TYPE* mediaType) = 0;
};

class IServiceProvider : public virtual IUnknown {
 public:
  virtual HRESULT QueryService(const GUID& service, const IID& riid, UnknownPtr& out) = 0;
};

// Where the writer delivers its encoded stream besides the file.
class IWMWriterSink : public virtual IUnknown {};

inline constexpr DWORD WMT_PROTOCOL_HTTP = 0;

class IWMWriterNetworkSink : public IWMWriterSink {
 public:
  virtual HRESULT SetMaximumClients(DWORD maxClients) = 0;
  virtual HRESULT GetMaximumClients(DWORD& maxClients) = 0;
  virtual HRESULT SetNetworkProtocol(DWORD protocol) = 0;
  virtual HRESULT GetNetworkProtocol(DWORD& protocol) = 0;
  // Starts serving on port (0: any free port); port then holds the port used.
  // A failing result when the port cannot be bound.
  virtual HRESULT Open(DWORD& port) = 0;
  // Drops every client; the sink stays open.
  virtual HRESULT Disconnect() = 0;
  virtual HRESULT Close() = 0;
};

class IWMWriterAdvanced2 : public virtual IUnknown {
 public:
  virtual HRESULT AddSink(const std::shared_ptr<IWMWriterSink>& sink) = 0;
  virtual HRESULT RemoveSink(const std::shared_ptr<IWMWriterSink>& sink) = 0;
  virtual HRESULT GetSinkCount(DWORD& count) = 0;
};

// A new network sink (made through CLSID_WMWriterNetworkSink).
HRESULT WMCreateWriterNetworkSink(std::shared_ptr<IWMWriterNetworkSink>& sink);

}  // namespace media
