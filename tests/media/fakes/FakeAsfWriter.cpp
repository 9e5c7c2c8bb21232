#include "media/fakes/FakeAsfWriter.h"

#include <QString>

#include "media/fakes/LoggedPin.h"
#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"

using namespace media;

namespace {

std::string ProfileName(const GUID& guid) {
  for (std::size_t i = 0; i < kWMProfiles.size(); ++i)
    if (kWMProfiles[i] == guid) return std::to_string(i);
  return guid.ToString();
}

}  // namespace

FakeAsfWriter::FakeAsfWriter(CallLog& log, int pinCount) : FakeFilter("writer", 0, &log), log_(log) {
  for (int i = 1; i <= pinCount; ++i)
    pins.push_back(std::make_shared<LoggedPin>("writer.pin" + std::to_string(i), log, PINDIR_INPUT));
}

HRESULT FakeAsfWriter::ConfigureFilterUsingProfileGuid(const GUID& guid) {
  log_.Add("writer.Configure " + ProfileName(guid));
  profile = guid;
  return S_OK;
}

HRESULT FakeAsfWriter::GetCurrentProfileGuid(GUID& guid) {
  guid = profile;
  return S_OK;
}

HRESULT FakeAsfWriter::GetIndexMode(bool& index) {
  index = true;
  return S_OK;
}

HRESULT FakeAsfWriter::SetParam(DWORD param, DWORD value1, DWORD value2) {
  log_.Add("writer.SetParam " + std::to_string(param) + " " + std::to_string(value1) + " " + std::to_string(value2));
  return S_OK;
}

HRESULT FakeAsfWriter::SetFileName(const std::u16string& name, const AM_MEDIA_TYPE*) {
  log_.Add("writer.SetFileName " + QString::fromStdU16String(name).toStdString());
  fileName = name;
  return S_OK;
}

HRESULT FakeAsfWriter::GetCurFile(std::u16string& name, AM_MEDIA_TYPE*) {
  name = fileName;
  return S_OK;
}

HRESULT FakeAsfWriter::QueryService(const GUID& service, const IID& riid, UnknownPtr& out) {
  log_.Add("writer.QueryService");
  if (service != IID_IWMWriterAdvanced2 || riid != IID_IWMWriterAdvanced2) return E_NOINTERFACE;
  out = shared_from_this();
  return S_OK;
}

HRESULT FakeAsfWriter::AddSink(const std::shared_ptr<IWMWriterSink>& added) {
  log_.Add("writer.AddSink");
  sink = added;
  return S_OK;
}

HRESULT FakeAsfWriter::GetSinkCount(DWORD& count) {
  count = sink ? 1 : 0;
  return S_OK;
}

HRESULT FakeNetworkSink::SetMaximumClients(DWORD count) {
  log_.Add("sink.SetMaximumClients " + std::to_string(count));
  return S_OK;
}

HRESULT FakeNetworkSink::SetNetworkProtocol(DWORD protocol) {
  log_.Add("sink.SetNetworkProtocol " + std::to_string(protocol));
  return S_OK;
}

HRESULT FakeNetworkSink::Open(DWORD& port) {
  log_.Add("sink.Open " + std::to_string(port));
  if (SUCCEEDED(openResult) && reportedPort != 0) port = reportedPort;
  return openResult;
}

HRESULT FakeNetworkSink::Disconnect() {
  log_.Add("sink.Disconnect");
  return S_OK;
}

HRESULT FakeNetworkSink::Close() {
  log_.Add("sink.Close");
  return S_OK;
}
