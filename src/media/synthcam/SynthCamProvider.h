#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

/* "synthcamdeviceprovider": lists the cameras of the camera file (see
 * SynthCamList.h) as devices of class "Video/Source", in file order.
 *
 * Probing (a device monitor that is not started) reads the file afresh every
 * time. Once started, the provider keeps its device list in step with the
 * file from a watcher thread that looks at it five times a second, posting
 * DEVICE_ADDED and DEVICE_REMOVED as cameras come and go; the thread ends in
 * stop(). */

#define SYNTHCAM_TYPE_PROVIDER (synthcam_provider_get_type ())
G_DECLARE_FINAL_TYPE (SynthCamProvider, synthcam_provider, SYNTHCAM, PROVIDER,
    GstDeviceProvider)

GST_DEVICE_PROVIDER_REGISTER_DECLARE (synthcamdeviceprovider);

G_END_DECLS
