#include "media/framework/AsfWriter.h"

#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"

namespace media {

HRESULT WMCreateWriterNetworkSink(std::shared_ptr<IWMWriterNetworkSink>& sink) {
  return CoCreateInstance<IWMWriterNetworkSink>(CLSID_WMWriterNetworkSink, sink);
}

}  // namespace media
