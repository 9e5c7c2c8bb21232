#include "media/gst/GstBackend.h"

#include <malloc.h>

#include <gst/gst.h>

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"
#include "media/framework/MediaPlatform.h"
#include "media/gst/GstAsfWriter.h"
#include "media/gst/GstCameraControlsPage.h"
#include "media/gst/GstCaptureGraphBuilder.h"
#include "media/gst/GstClassIds.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstDeviceMoniker.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstMixingRenderer.h"
#include "media/gst/GstPropertyFrame.h"
#include "media/gst/GstRunningObjectTable.h"
#include "media/gst/GstSampleGrabber.h"
#include "media/gst/GstSmartTee.h"
#include "media/gst/GstVideoRenderer.h"
#include "media/gst/NetworkSinkAdapter.h"

namespace media::gst {
namespace {

template <class T>
void RegisterClass(const CLSID& clsid) {
  ClassFactory::Register(clsid, [] { return UnknownPtr(std::make_shared<T>()); });
}

// Every class this backend makes. The DVD graph builder is not among them:
// creating it answers REGDB_E_CLASSNOTREG.
const CLSID* const kClasses[] = {&CLSID_FilterGraph,      &CLSID_CaptureGraphBuilder2, &CLSID_SystemDeviceEnum,
                                 &CLSID_GstDeviceMoniker, &CLSID_RunningObjectTable,   &CLSID_PropertyFrame,
                                 &CLSID_GstCameraControlsPage, &CLSID_GstSmartTee,
                                 &CLSID_VideoRenderer,    &CLSID_VideoMixingRenderer9,
                                 &CLSID_SampleGrabber,    &CLSID_WMAsfWriter,          &CLSID_WMWriterNetworkSink};

}  // namespace

void GstBackend::Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  MediaPlatform::AddBackend("gstreamer", &GstBackend::Start, &GstBackend::Finish);
  if (MediaPlatform::IsInitialized()) Start();
}

HRESULT GstBackend::Start() {
  GError* raw = nullptr;
  if (!gst_init_check(nullptr, nullptr, &raw)) {
    const GErrorPtr error(raw);
    return E_FAIL;
  }
  // A stopped graph's streaming threads end with it instead of idling in
  // GLib's shared pool: the program builds and drops graphs for as long as
  // it runs, and a stopped graph is to leave no thread behind.
  g_thread_pool_set_max_unused_threads(0);
  // The streaming threads (two dozen with four channels) would otherwise
  // spread over up to eight malloc arenas per core, each holding on to the
  // frames freed into it. Two arenas keep that down by several megabytes
  // without contention on a small machine. Set before the first graph's
  // threads allocate, while glibc still reads the limit.
  mallopt(M_ARENA_MAX, 2);
  RegisterClasses();
  return S_OK;
}

void GstBackend::Finish() {
  for (const CLSID* clsid : kClasses) ClassFactory::Unregister(*clsid);
}

void GstBackend::RegisterClasses() {
  RegisterClass<GstFilterGraph>(CLSID_FilterGraph);
  RegisterClass<GstCaptureGraphBuilder>(CLSID_CaptureGraphBuilder2);
  RegisterClass<GstDeviceEnumerator>(CLSID_SystemDeviceEnum);
  RegisterClass<GstDeviceMoniker>(CLSID_GstDeviceMoniker);
  ClassFactory::Register(CLSID_RunningObjectTable, [] { return UnknownPtr(GstRunningObjectTable::Instance()); });
  RegisterClass<GstPropertyFrame>(CLSID_PropertyFrame);
  RegisterClass<GstCameraControlsPage>(CLSID_GstCameraControlsPage);
  ClassFactory::Register(CLSID_GstSmartTee, [] { return UnknownPtr(GstSmartTee::Make()); });
  ClassFactory::Register(CLSID_VideoRenderer, [] { return UnknownPtr(GstVideoRenderer::Make()); });
  ClassFactory::Register(CLSID_VideoMixingRenderer9, [] { return UnknownPtr(GstMixingRenderer::Make()); });
  ClassFactory::Register(CLSID_SampleGrabber, [] { return UnknownPtr(GstSampleGrabber::Make()); });
  ClassFactory::Register(CLSID_WMAsfWriter, [] { return UnknownPtr(GstAsfWriter::Make()); });
  RegisterClass<NetworkSinkAdapter>(CLSID_WMWriterNetworkSink);
}

}  // namespace media::gst
