#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

/* "synthcamsrc": one synthetic camera of the camera file (see SynthCamList.h),
 * named by its device path (property "device", the device.path of its
 * GstDevice); camera-name and camera-index read it back. A bin around
 * videotestsrc that draws the camera's own pattern, colours, name and running
 * time: 640x480 at 30 frames per second, live, on its "src" pad.
 *
 * It behaves as a real camera does:
 *   NULL -> READY    fails with GST_RESOURCE_ERROR_NOT_FOUND when the file no
 *                    longer lists the camera;
 *   READY -> PAUSED  fails with GST_RESOURCE_ERROR_BUSY for a " [busy]" line;
 *   while streaming  the streaming thread looks at the file four times a
 *                    second; once two looks in a row miss the camera it posts
 *                    GST_RESOURCE_ERROR_NOT_FOUND from this element and
 *                    produces nothing more (an EOS sent to it still flows, so
 *                    downstream writers can be drained). */

#define SYNTHCAM_TYPE_SRC (synthcam_src_get_type ())
G_DECLARE_FINAL_TYPE (SynthCamSrc, synthcam_src, SYNTHCAM, SRC, GstBin)

GST_ELEMENT_REGISTER_DECLARE (synthcamsrc);

/* The caps every synthetic camera produces. */
GstCaps *synthcam_src_caps (void);

G_END_DECLS
