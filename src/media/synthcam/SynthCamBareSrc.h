#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

/* "synthcambaresrc": the synthetic camera of a " [nocontrols]" line (see
 * SynthCamList.h), a camera whose driver offers no picture controls. It is a
 * synthcamsrc for the same device path (property "device"), picture, states
 * and errors included, wrapped in a bin that implements GstColorBalance and
 * lists no channel, as a camera driver without controls does: a program
 * that looks for the device's own controls finds that there are none, and
 * does not put a software balance of its own in their place. */

#define SYNTHCAM_TYPE_BARE_SRC (synthcam_bare_src_get_type ())
G_DECLARE_FINAL_TYPE (SynthCamBareSrc, synthcam_bare_src, SYNTHCAM, BARE_SRC,
    GstBin)

GST_ELEMENT_REGISTER_DECLARE (synthcambaresrc);

G_END_DECLS
