#pragma once
#include <memory>
#include <string>

#include "media/fakes/CallLog.h"
#include "media/fakes/FakeFilter.h"
#include "media/framework/AsfWriter.h"

// An ASF writer filter that logs what it is told ("writer.Configure 23",
// "writer.SetFileName x.asf", "writer.SetParam 1 1 0", "writer.QueryService",
// "writer.AddSink") and keeps the profile identifier and file name it was
// given. Its pins ("writer.pin1", "writer.pin2", ...) log disconnections.
class FakeAsfWriter : public FakeFilter,
                      public media::IConfigAsfWriter2,
                      public media::IFileSinkFilter,
                      public media::IServiceProvider,
                      public media::IWMWriterAdvanced2 {
 public:
  FakeAsfWriter(CallLog& log, int pinCount);

  media::GUID profile;
  std::u16string fileName;
  std::shared_ptr<media::IWMWriterSink> sink;

  media::HRESULT ConfigureFilterUsingProfileGuid(const media::GUID& guid) override;
  media::HRESULT GetCurrentProfileGuid(media::GUID& guid) override;
  media::HRESULT SetIndexMode(bool) override { return media::S_OK; }
  media::HRESULT GetIndexMode(bool& index) override;
  media::HRESULT SetParam(media::DWORD param, media::DWORD value1, media::DWORD value2) override;
  media::HRESULT GetParam(media::DWORD, media::DWORD&, media::DWORD&) override { return media::E_NOTIMPL; }
  media::HRESULT SetFileName(const std::u16string& name, const media::AM_MEDIA_TYPE*) override;
  media::HRESULT GetCurFile(std::u16string& name, media::AM_MEDIA_TYPE*) override;
  media::HRESULT QueryService(const media::GUID& service, const media::IID&, media::UnknownPtr& out) override;
  media::HRESULT AddSink(const std::shared_ptr<media::IWMWriterSink>& added) override;
  media::HRESULT RemoveSink(const std::shared_ptr<media::IWMWriterSink>&) override { return media::S_OK; }
  media::HRESULT GetSinkCount(media::DWORD& count) override;

 private:
  CallLog& log_;
};

// A network sink that logs its calls ("sink.Open 3333") and answers Open
// with `openResult`, reporting `reportedPort` back when that is not 0.
class FakeNetworkSink : public media::IWMWriterNetworkSink {
 public:
  explicit FakeNetworkSink(CallLog& log) : log_(log) {}

  media::HRESULT openResult = media::S_OK;
  media::DWORD reportedPort = 0;

  media::HRESULT SetMaximumClients(media::DWORD count) override;
  media::HRESULT GetMaximumClients(media::DWORD&) override { return media::E_NOTIMPL; }
  media::HRESULT SetNetworkProtocol(media::DWORD protocol) override;
  media::HRESULT GetNetworkProtocol(media::DWORD&) override { return media::E_NOTIMPL; }
  media::HRESULT Open(media::DWORD& port) override;
  media::HRESULT Disconnect() override;
  media::HRESULT Close() override;

 private:
  CallLog& log_;
};
