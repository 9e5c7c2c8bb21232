#include "media/TASFWriter.h"

#include <QString>

#include "media/WideText.h"
#include "media/TPinList.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"

namespace media {

TASFWriter::TASFWriter(std::string name) : TComponent(std::move(name)) {}

TASFWriter::~TASFWriter() { SetFilterGraph(nullptr); }

void TASFWriter::SetFilterGraph(TFilterGraph* graph) { ChangeMemberGraph(*this, nullptr, graph_, graph); }

TWMPofiles8 TASFWriter::Profile() {
  const auto config = Query<IConfigAsfWriter>();
  if (!config) return storedProfile_;
  GUID current;
  config->GetCurrentProfileGuid(current);
  for (std::size_t i = 0; i < kWMProfiles.size(); ++i)
    if (kWMProfiles[i] == current) return static_cast<TWMPofiles8>(i);
  return static_cast<TWMPofiles8>(kUnknownProfile);
}

void TASFWriter::SetProfile(TWMPofiles8 profile) {
  const auto config = Query<IConfigAsfWriter>();
  if (!config) {
    storedProfile_ = profile;
    return;
  }
  // A value past the table has no identifier to give.
  if (profile < kWMProfiles.size()) config->ConfigureFilterUsingProfileGuid(kWMProfiles[profile]);
}

std::string TASFWriter::FileName() {
  std::u16string name = storedFileName_;
  if (const auto sink = Query<IFileSinkFilter>()) {
    name.clear();
    sink->GetCurFile(name, nullptr);
  }
  return QString::fromStdU16String(name).toStdString();
}

void TASFWriter::SetFileName(const std::string& fileName) {
  storedFileName_ = Wide(fileName);
  ApplyFileName();
}

void TASFWriter::ApplyFileName() {
  if (const auto sink = Query<IFileSinkFilter>()) sink->SetFileName(storedFileName_, nullptr);
}

void TASFWriter::NotifyMember(TMemberOperation operation, int) {
  switch (operation) {
    case moAdding: CoCreateInstance<IBaseFilter>(CLSID_WMAsfWriter, writerFilter_); break;
    case moAdded:
      if (writerFilter_) Added();
      break;
    case moRemoving: Removing(); break;
    case moRemoved: Removed(); break;
    case moRefresh: break;
  }
}

void TASFWriter::Added() {
  SetProfile(storedProfile_);
  ApplyFileName();
  if (const auto config = Query<IConfigAsfWriter2>()) {
    config->SetParam(AM_CONFIGASFWRITER_PARAM_AUTOINDEX, autoIndex_ ? 1 : 0, 0);
    config->SetParam(AM_CONFIGASFWRITER_PARAM_MULTIPASS, multiPass_ ? 1 : 0, 0);
    config->SetParam(AM_CONFIGASFWRITER_PARAM_DONTCOMPRESS, dontCompress_ ? 1 : 0, 0);
  }
  const TPinList pins(writerFilter_);
  if (pins.Count() == 0) return;
  inputPin1_ = pins.Item(0);
  if (pins.Count() == 2) inputPin2_ = pins.Item(1);
  if (auto provider = Query<IServiceProvider>()) {
    UnknownPtr service;
    provider->QueryService(IID_IWMWriterAdvanced2, IID_IWMWriterAdvanced2, service);
    writerAdvanced_ = media::Query<IWMWriterAdvanced2>(service);
    provider.reset();
  }
  OpenNetworkSink();
}

void TASFWriter::OpenNetworkSink() {
  if (port_ == 0 || maxUsers_ == 0) return;
  std::shared_ptr<IWMWriterNetworkSink> sink;
  if (FAILED(WMCreateWriterNetworkSink(sink)) || !sink) return;
  networkSink_ = std::move(sink);
  networkSink_->SetNetworkProtocol(WMT_PROTOCOL_HTTP);
  networkSink_->SetMaximumClients(maxUsers_);
  // The sink reports the port it took back into the property.
  networkSink_->Open(port_);
  if (writerAdvanced_) writerAdvanced_->AddSink(networkSink_);
}

void TASFWriter::Removing() {
  if (writerFilter_) writerFilter_->Stop();
  if (networkSink_) {
    networkSink_->Disconnect();
    networkSink_->Close();
  }
  if (inputPin1_) inputPin1_->Disconnect();
  if (inputPin2_) inputPin2_->Disconnect();
}

void TASFWriter::Removed() {
  writerAdvanced_.reset();
  networkSink_.reset();
  inputPin1_.reset();
  inputPin2_.reset();
  writerFilter_.reset();
}

}  // namespace media
