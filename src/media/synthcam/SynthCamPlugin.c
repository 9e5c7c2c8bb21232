#include <gst/gst.h>

#include "SynthCamBareSrc.h"
#include "SynthCamProvider.h"
#include "SynthCamSrc.h"

/* The synthetic camera plugin: found through GST_PLUGIN_PATH, it shows the
 * cameras of the file named by QUADROVIA_SYNTHCAMS to every GStreamer program
 * exactly as real cameras are shown. */

static gboolean
plugin_init (GstPlugin *plugin)
{
  gboolean ok = GST_ELEMENT_REGISTER (synthcamsrc, plugin);

  ok = GST_ELEMENT_REGISTER (synthcambaresrc, plugin) && ok;

  return GST_DEVICE_PROVIDER_REGISTER (synthcamdeviceprovider, plugin) && ok;
}

GST_PLUGIN_DEFINE (GST_VERSION_MAJOR, GST_VERSION_MINOR, synthcam,
    "Synthetic cameras for trying and testing without camera hardware",
    plugin_init, "0.1", "Proprietary", "Quadrovia", "Quadrovia")
