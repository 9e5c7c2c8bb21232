#include "SynthCamBareSrc.h"

#include <gst/video/colorbalance.h>

#include "SynthCamSrc.h"

enum
{
  PROP_0,
  PROP_DEVICE,
};

struct _SynthCamBareSrc
{
  GstBin parent;

  GstElement *camera;           /* owned by the bin; set once in init */
};

static void synthcam_bare_src_balance_init (GstColorBalanceInterface *iface);

G_DEFINE_TYPE_WITH_CODE (SynthCamBareSrc, synthcam_bare_src, GST_TYPE_BIN,
    G_IMPLEMENT_INTERFACE (GST_TYPE_COLOR_BALANCE,
        synthcam_bare_src_balance_init));
GST_ELEMENT_REGISTER_DEFINE (synthcambaresrc, "synthcambaresrc",
    GST_RANK_NONE, SYNTHCAM_TYPE_BARE_SRC);

/* ---- the colour balance without channels ------------------------------ */

static const GList *
list_no_channels (GstColorBalance *balance)
{
  (void) balance;
  return NULL;
}

static void
set_nothing (GstColorBalance *balance, GstColorBalanceChannel *channel,
    gint value)
{
  (void) balance;
  (void) channel;
  (void) value;
}

static gint
get_nothing (GstColorBalance *balance, GstColorBalanceChannel *channel)
{
  (void) balance;
  (void) channel;
  return 0;
}

static GstColorBalanceType
hardware_balance (GstColorBalance *balance)
{
  (void) balance;
  return GST_COLOR_BALANCE_HARDWARE;
}

static void
synthcam_bare_src_balance_init (GstColorBalanceInterface *iface)
{
  iface->list_channels = list_no_channels;
  iface->set_value = set_nothing;
  iface->get_value = get_nothing;
  iface->get_balance_type = hardware_balance;
}

/* ---- construction and properties -------------------------------------- */

static void
synthcam_bare_src_init (SynthCamBareSrc *self)
{
  GstPad *ghost = gst_ghost_pad_new_no_target_from_template ("src",
      gst_element_class_get_pad_template (GST_ELEMENT_GET_CLASS (self),
          "src"));

  self->camera = gst_element_factory_make ("synthcamsrc", "camera");
  if (self->camera) {
    g_autoptr (GstPad) target = NULL;

    gst_bin_add (GST_BIN (self), self->camera);
    target = gst_element_get_static_pad (self->camera, "src");
    gst_ghost_pad_set_target (GST_GHOST_PAD (ghost), target);
  }
  gst_element_add_pad (GST_ELEMENT (self), ghost);
}

static void
synthcam_bare_src_set_property (GObject *object, guint prop_id,
    const GValue *value, GParamSpec *pspec)
{
  SynthCamBareSrc *self = SYNTHCAM_BARE_SRC (object);

  if (prop_id != PROP_DEVICE) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID (object, prop_id, pspec);
    return;
  }
  if (self->camera)
    g_object_set_property (G_OBJECT (self->camera), "device", value);
}

static void
synthcam_bare_src_get_property (GObject *object, guint prop_id,
    GValue *value, GParamSpec *pspec)
{
  SynthCamBareSrc *self = SYNTHCAM_BARE_SRC (object);

  if (prop_id != PROP_DEVICE) {
    G_OBJECT_WARN_INVALID_PROPERTY_ID (object, prop_id, pspec);
    return;
  }
  if (self->camera)
    g_object_get_property (G_OBJECT (self->camera), "device", value);
}

static void
synthcam_bare_src_class_init (SynthCamBareSrcClass *klass)
{
  GObjectClass *object_class = G_OBJECT_CLASS (klass);
  GstElementClass *element_class = GST_ELEMENT_CLASS (klass);

  object_class->set_property = synthcam_bare_src_set_property;
  object_class->get_property = synthcam_bare_src_get_property;
  g_object_class_install_property (object_class, PROP_DEVICE,
      g_param_spec_string ("device", "Device",
          "Device path of the camera, \"synthcam:<index>:<name>\" as the "
          "device monitor gives it", NULL,
          G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
          GST_PARAM_MUTABLE_READY));
  {
    g_autoptr (GstCaps) caps = synthcam_src_caps ();
    gst_element_class_add_pad_template (element_class,
        gst_pad_template_new ("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
  }
  gst_element_class_set_static_metadata (element_class,
      "Synthetic camera without controls", "Source/Video",
      "A synthetic camera whose driver offers no picture controls",
      "Quadrovia developers");
}
