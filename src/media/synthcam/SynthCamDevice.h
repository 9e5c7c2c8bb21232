#pragma once

#include <gst/gst.h>

#include "SynthCamList.h"

G_BEGIN_DECLS

/* A synthetic camera as the device monitor shows it: class "Video/Source",
 * the friendly name as display name, the caps of synthcamsrc, and properties
 * that find the same camera again:
 *   device.api            "synthcam"
 *   device.path           the camera's device path (SynthCamList.h)
 *   synthcam.camera-name  the friendly name
 *   synthcam.camera-index its occurrence among the lines of that name
 * Its element is a synthcamsrc with that device path, or a synthcambaresrc
 * when the camera's line is marked " [nocontrols]". */

#define SYNTHCAM_TYPE_DEVICE (synthcam_device_get_type ())
G_DECLARE_FINAL_TYPE (SynthCamDevice, synthcam_device, SYNTHCAM, DEVICE,
    GstDevice)

/* A floating device for the entry. */
GstDevice *synthcam_device_new (const SynthCamEntry *entry);

/* Whether the device stands for (name, index). */
gboolean synthcam_device_is (SynthCamDevice *device, const gchar *name,
    guint index);

G_END_DECLS
