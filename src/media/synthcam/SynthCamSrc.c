#include "SynthCamSrc.h"

#include "SynthCamList.h"

GST_DEBUG_CATEGORY_STATIC (synthcam_src_debug);
#define GST_CAT_DEFAULT synthcam_src_debug

/* How often a streaming camera looks whether its line is still in the file,
 * and how many looks in a row must miss it: a removed camera fails within
 * half a second. */
#define PRESENCE_INTERVAL_US (G_USEC_PER_SEC / 4)
#define ABSENT_LOOKS_TO_UNPLUG 2

#define SYNTHCAM_CAPS_STR \
  "video/x-raw, format = (string) { I420, YV12, NV12, YUY2, UYVY, BGRx, " \
  "RGBx, xRGB, xBGR }, width = (int) 640, height = (int) 480, " \
  "framerate = (fraction) 30/1, pixel-aspect-ratio = (fraction) 1/1"

static GstStaticCaps synthcam_caps = GST_STATIC_CAPS (SYNTHCAM_CAPS_STR);
static GstStaticPadTemplate src_template = GST_STATIC_PAD_TEMPLATE ("src",
    GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS (SYNTHCAM_CAPS_STR));

enum
{
  PROP_0,
  PROP_DEVICE,
  PROP_CAMERA_NAME,
  PROP_CAMERA_INDEX,
};

struct _SynthCamSrc
{
  GstBin parent;

  /* Object lock; changeable in NULL and READY only. `device` as set, the
   * camera it names (camera_name NULL when it names none). */
  gchar *device;
  gchar *camera_name;
  guint camera_index;

  /* Children, owned by the bin; NULL when their plugin is missing (the overlays
   * are optional, the source is not). Set once in init. */
  GstElement *source;
  GstElement *title;
  GstElement *clock;

  /* Streaming thread only, reset in READY -> PAUSED before streaming starts. */
  gint64 next_presence_check;
  guint absent_looks;
  gboolean unplugged;
};

G_DEFINE_TYPE (SynthCamSrc, synthcam_src, GST_TYPE_BIN);
GST_ELEMENT_REGISTER_DEFINE (synthcamsrc, "synthcamsrc", GST_RANK_NONE,
    SYNTHCAM_TYPE_SRC);

/* ---- appearance ------------------------------------------------------- */

/* Cheap videotestsrc patterns that move (the ball by itself, the others by
 * scrolling), so that four cameras at once stay light on the processor. */
typedef struct
{
  const gchar *pattern;
  const gchar *motion;
  gint speed;
} Pattern;

static const Pattern patterns[] = {
  {"bar", "wavy", 4}, {"ball", "wavy", 0}, {"smpte75", "wavy", 3},
  {"ball", "sweep", 0},
};

/* Foreground (also the colour of the name) and background, ARGB. */
typedef struct
{
  guint32 fg, bg;
} Palette;

static const Palette palettes[] = {
  {0xffe8c020, 0xff203060}, {0xff40d0ff, 0xff402010},
  {0xffff6080, 0xff103020}, {0xff80ff60, 0xff301040},
  {0xffffffff, 0xff600010}, {0xffff9020, 0xff102838},
  {0xffc080ff, 0xff203010}, {0xff20e0a0, 0xff401818},
};

/* The look follows the camera's place in the file when it opens, so the
 * cameras of one file never look alike (up to four patterns, eight colours). */
static void
apply_look (SynthCamSrc *self, const gchar *name, guint position)
{
  const Pattern *pattern = &patterns[position % G_N_ELEMENTS (patterns)];
  const Palette *palette = &palettes[position % G_N_ELEMENTS (palettes)];

  gst_util_set_object_arg (G_OBJECT (self->source), "pattern",
      pattern->pattern);
  gst_util_set_object_arg (G_OBJECT (self->source), "motion", pattern->motion);
  g_object_set (self->source, "is-live", TRUE, "horizontal-speed",
      pattern->speed, "foreground-color", palette->fg, "background-color",
      palette->bg, NULL);
  if (self->title) {
    /* textoverlay takes its text as Pango markup. */
    g_autofree gchar *text = g_markup_escape_text (name, -1);
    g_object_set (self->title, "text", text, "color", palette->fg, NULL);
  }
}

/* ---- the camera file -------------------------------------------------- */

typedef enum
{
  CAMERA_ABSENT,
  CAMERA_BUSY,
  CAMERA_FREE,
} CameraPresence;

/* Reads the file; `position` (may be NULL) gets the camera's place in it. */
static CameraPresence
camera_presence (SynthCamSrc *self, guint *position)
{
  g_autoptr (GPtrArray) entries = synthcam_list_read ();
  const SynthCamEntry *entry;

  GST_OBJECT_LOCK (self);
  entry = synthcam_list_find (entries, self->camera_name, self->camera_index);
  GST_OBJECT_UNLOCK (self);
  if (entry == NULL)
    return CAMERA_ABSENT;
  if (position)
    *position = entry->position;
  return entry->busy ? CAMERA_BUSY : CAMERA_FREE;
}

/* Copies of the identity for messages, taken under the object lock. */
static gchar *
camera_name (SynthCamSrc *self)
{
  gchar *name;

  GST_OBJECT_LOCK (self);
  name = g_strdup (self->camera_name ? self->camera_name : "");
  GST_OBJECT_UNLOCK (self);
  return name;
}

static gchar *
device_path (SynthCamSrc *self)
{
  gchar *device;

  GST_OBJECT_LOCK (self);
  device = g_strdup (self->device);
  GST_OBJECT_UNLOCK (self);
  return device;
}

static void
post_absent (SynthCamSrc *self, const gchar *what)
{
  g_autofree gchar *name = camera_name (self);
  g_autofree gchar *device = device_path (self);

  if (device == NULL)
    GST_ELEMENT_ERROR (self, RESOURCE, NOT_FOUND,
        ("No camera chosen: the device property is not set."), (NULL));
  else if (*name == '\0')
    GST_ELEMENT_ERROR (self, RESOURCE, NOT_FOUND,
        ("\"%s\" is no synthetic camera.", device), (NULL));
  else
    GST_ELEMENT_ERROR (self, RESOURCE, NOT_FOUND,
        ("Camera \"%s\" %s.", name, what), ("device %s; camera file %s",
            device, GST_STR_NULL (g_getenv (SYNTHCAM_ENV))));
}

/* ---- state changes ---------------------------------------------------- */

static gboolean
open_camera (SynthCamSrc *self)
{
  g_autofree gchar *name = camera_name (self);
  guint position = 0;

  if (self->source == NULL) {
    GST_ELEMENT_ERROR (self, CORE, MISSING_PLUGIN,
        ("The videotestsrc element is not installed."), (NULL));
    return FALSE;
  }
  if (camera_presence (self, &position) == CAMERA_ABSENT) {
    post_absent (self, "is not connected");
    return FALSE;
  }
  apply_look (self, name, position);
  return TRUE;
}

static gboolean
claim_camera (SynthCamSrc *self)
{
  switch (camera_presence (self, NULL)) {
    case CAMERA_ABSENT:
      post_absent (self, "is not connected");
      return FALSE;
    case CAMERA_BUSY:{
      g_autofree gchar *name = camera_name (self);
      GST_ELEMENT_ERROR (self, RESOURCE, BUSY,
          ("Camera \"%s\" is in use by another program.", name), (NULL));
      return FALSE;
    }
    case CAMERA_FREE:
      break;
  }
  self->next_presence_check = g_get_monotonic_time () + PRESENCE_INTERVAL_US;
  self->absent_looks = 0;
  self->unplugged = FALSE;
  return TRUE;
}

static GstStateChangeReturn
synthcam_src_change_state (GstElement *element, GstStateChange transition)
{
  SynthCamSrc *self = SYNTHCAM_SRC (element);

  if (transition == GST_STATE_CHANGE_NULL_TO_READY && !open_camera (self))
    return GST_STATE_CHANGE_FAILURE;
  if (transition == GST_STATE_CHANGE_READY_TO_PAUSED && !claim_camera (self))
    return GST_STATE_CHANGE_FAILURE;
  return GST_ELEMENT_CLASS (synthcam_src_parent_class)->change_state (element,
      transition);
}

/* ---- unplugging while streaming --------------------------------------- */

static gboolean
presence_check_due (SynthCamSrc *self)
{
  gint64 now = g_get_monotonic_time ();

  if (now < self->next_presence_check)
    return FALSE;
  self->next_presence_check = now + PRESENCE_INTERVAL_US;
  return TRUE;
}

/* A camera counts as unplugged once the file has lacked it at two looks in a
 * row: an editor that rewrites the file in place leaves it empty for a moment,
 * and that must not unplug every camera. */
static void
look_at_file (SynthCamSrc *self)
{
  if (camera_presence (self, NULL) != CAMERA_ABSENT) {
    self->absent_looks = 0;
    return;
  }
  if (++self->absent_looks < ABSENT_LOOKS_TO_UNPLUG)
    return;
  self->unplugged = TRUE;
  post_absent (self, "was disconnected");
}

/* Streaming thread, on every buffer of the pattern source. Once the camera is
 * gone its buffers are swallowed and the source is told "flushing": its task
 * pauses without a second error, as a camera that stopped delivering. */
static GstPadProbeReturn
watch_presence (GstPad *pad, GstPadProbeInfo *info, gpointer user_data)
{
  SynthCamSrc *self = user_data;

  (void) pad;
  if (!self->unplugged && presence_check_due (self))
    look_at_file (self);
  if (!self->unplugged)
    return GST_PAD_PROBE_OK;
  gst_buffer_unref (GST_PAD_PROBE_INFO_BUFFER (info));
  GST_PAD_PROBE_INFO_DATA (info) = NULL;
  GST_PAD_PROBE_INFO_FLOW_RETURN (info) = GST_FLOW_FLUSHING;
  return GST_PAD_PROBE_HANDLED;
}

/* ---- construction ----------------------------------------------------- */

static GstElement *
add_child (SynthCamSrc *self, const gchar *factory, const gchar *name)
{
  GstElement *child = gst_element_factory_make (factory, name);

  if (child == NULL) {
    GST_WARNING_OBJECT (self, "no %s element: drawn without it", factory);
    return NULL;
  }
  gst_bin_add (GST_BIN (self), child);
  return child;
}

/* Adds an overlay after `*last` when its plugin is present. */
static GstElement *
add_overlay (SynthCamSrc *self, GstElement **last, const gchar *factory,
    const gchar *name, const gchar *font, const gchar *valign,
    const gchar *halign)
{
  GstElement *overlay = add_child (self, factory, name);

  if (overlay == NULL)
    return NULL;
  g_object_set (overlay, "font-desc", font, "shaded-background", TRUE, NULL);
  gst_util_set_object_arg (G_OBJECT (overlay), "valignment", valign);
  gst_util_set_object_arg (G_OBJECT (overlay), "halignment", halign);
  gst_element_link (*last, overlay);
  *last = overlay;
  return overlay;
}

/* The chain source ! title ! clock ! capsfilter, the filter keeping the
 * overlays drawing into the pixels rather than attaching them as metadata. */
static GstPad *
build_chain (SynthCamSrc *self)
{
  GstElement *last = self->source;
  GstElement *filter;
  g_autoptr (GstCaps) caps = synthcam_src_caps ();

  self->title = add_overlay (self, &last, "textoverlay", "title",
      "Sans Bold 22", "top", "left");
  self->clock = add_overlay (self, &last, "timeoverlay", "clock",
      "Monospace Bold 18", "bottom", "right");
  filter = add_child (self, "capsfilter", "caps");
  if (filter == NULL)
    return NULL;
  g_object_set (filter, "caps", caps, NULL);
  gst_element_link (last, filter);
  return gst_element_get_static_pad (filter, "src");
}

static void
synthcam_src_init (SynthCamSrc *self)
{
  GstPad *ghost = gst_ghost_pad_new_no_target_from_template ("src",
      gst_element_class_get_pad_template (GST_ELEMENT_GET_CLASS (self),
          "src"));
  g_autoptr (GstPad) target = NULL;

  self->source = add_child (self, "videotestsrc", "source");
  if (self->source) {
    g_autoptr (GstPad) pad = gst_element_get_static_pad (self->source, "src");
    gst_pad_add_probe (pad, GST_PAD_PROBE_TYPE_BUFFER, watch_presence, self,
        NULL);
    target = build_chain (self);
  }
  if (target)
    gst_ghost_pad_set_target (GST_GHOST_PAD (ghost), target);
  gst_element_add_pad (GST_ELEMENT (self), ghost);
}

/* ---- properties and class --------------------------------------------- */

/* Takes a device path; a malformed one leaves the element without a camera,
 * so that it fails to open as a camera at a wrong path does. */
static void
set_device (SynthCamSrc *self, const gchar *device)
{
  g_free (self->device);
  g_clear_pointer (&self->camera_name, g_free);
  self->camera_index = 0;
  self->device = g_strdup (device);
  if (device && !synthcam_parse_device_path (device, &self->camera_name,
          &self->camera_index))
    GST_WARNING_OBJECT (self, "\"%s\" is no synthetic camera path", device);
}

static void
synthcam_src_set_property (GObject *object, guint prop_id,
    const GValue *value, GParamSpec *pspec)
{
  SynthCamSrc *self = SYNTHCAM_SRC (object);

  if (prop_id != PROP_DEVICE) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID (object, prop_id, pspec);
    return;
  }
  GST_OBJECT_LOCK (self);
  set_device (self, g_value_get_string (value));
  GST_OBJECT_UNLOCK (self);
}

static void
synthcam_src_get_property (GObject *object, guint prop_id, GValue *value,
    GParamSpec *pspec)
{
  SynthCamSrc *self = SYNTHCAM_SRC (object);

  GST_OBJECT_LOCK (self);
  if (prop_id == PROP_DEVICE)
    g_value_set_string (value, self->device);
  else if (prop_id == PROP_CAMERA_NAME)
    g_value_set_string (value, self->camera_name);
  else if (prop_id == PROP_CAMERA_INDEX)
    g_value_set_uint (value, self->camera_index);
  else
    G_OBJECT_WARN_INVALID_PROPERTY_ID (object, prop_id, pspec);
  GST_OBJECT_UNLOCK (self);
}

static void
synthcam_src_finalize (GObject *object)
{
  g_free (SYNTHCAM_SRC (object)->device);
  g_free (SYNTHCAM_SRC (object)->camera_name);
  G_OBJECT_CLASS (synthcam_src_parent_class)->finalize (object);
}

/* Only the device path is writable: gst-device-monitor-1.0 prints the
 * writable properties a device's element has set, and a path is the one form
 * of an arbitrary name that its launch line carries through a shell intact. */
static void
install_properties (GObjectClass *object_class)
{
  GParamFlags readable = G_PARAM_READABLE | G_PARAM_STATIC_STRINGS;

  g_object_class_install_property (object_class, PROP_DEVICE,
      g_param_spec_string ("device", "Device",
          "Device path of the camera, \"synthcam:<index>:<name>\" as the "
          "device monitor gives it", NULL,
          readable | G_PARAM_WRITABLE | GST_PARAM_MUTABLE_READY));
  g_object_class_install_property (object_class, PROP_CAMERA_NAME,
      g_param_spec_string ("camera-name", "Camera name",
          "Friendly name of the camera, a line of the camera file", NULL,
          readable));
  g_object_class_install_property (object_class, PROP_CAMERA_INDEX,
      g_param_spec_uint ("camera-index", "Camera index",
          "Which of the cameras of that name, counted from 0 in file order",
          0, G_MAXUINT, 0, readable));
}

static void
synthcam_src_class_init (SynthCamSrcClass *klass)
{
  GObjectClass *object_class = G_OBJECT_CLASS (klass);
  GstElementClass *element_class = GST_ELEMENT_CLASS (klass);

  GST_DEBUG_CATEGORY_INIT (synthcam_src_debug, "synthcamsrc", 0,
      "synthetic camera");
  object_class->set_property = synthcam_src_set_property;
  object_class->get_property = synthcam_src_get_property;
  object_class->finalize = synthcam_src_finalize;
  install_properties (object_class);
  element_class->change_state = GST_DEBUG_FUNCPTR (synthcam_src_change_state);
  gst_element_class_add_static_pad_template (element_class, &src_template);
  gst_element_class_set_static_metadata (element_class, "Synthetic camera",
      "Source/Video", "A live test picture standing in for a camera listed "
      "in the file named by " SYNTHCAM_ENV, "Quadrovia developers");
}

GstCaps *
synthcam_src_caps (void)
{
  return gst_static_caps_get (&synthcam_caps);
}
