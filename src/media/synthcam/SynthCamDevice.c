#include "SynthCamDevice.h"

#include "SynthCamSrc.h"

struct _SynthCamDevice
{
  GstDevice parent;

  /* Immutable after construction. */
  gchar *camera_name;
  guint camera_index;
};

G_DEFINE_TYPE (SynthCamDevice, synthcam_device, GST_TYPE_DEVICE);

/* The element for the camera's line as the file has it now: a camera marked
 * " [nocontrols]" gets the one without picture controls. */
static const gchar *
element_factory (SynthCamDevice *self)
{
  g_autoptr (GPtrArray) entries = synthcam_list_read ();
  const SynthCamEntry *entry =
      synthcam_list_find (entries, self->camera_name, self->camera_index);

  return entry && entry->no_controls ? "synthcambaresrc" : "synthcamsrc";
}

static GstElement *
synthcam_device_create_element (GstDevice *device, const gchar *name)
{
  SynthCamDevice *self = SYNTHCAM_DEVICE (device);
  GstElement *element =
      gst_element_factory_make (element_factory (self), name);

  g_autofree gchar *path =
      synthcam_device_path (self->camera_name, self->camera_index);

  if (element)
    g_object_set (element, "device", path, NULL);
  return element;
}

static void
synthcam_device_finalize (GObject *object)
{
  g_free (SYNTHCAM_DEVICE (object)->camera_name);
  G_OBJECT_CLASS (synthcam_device_parent_class)->finalize (object);
}

static void
synthcam_device_class_init (SynthCamDeviceClass *klass)
{
  G_OBJECT_CLASS (klass)->finalize = synthcam_device_finalize;
  GST_DEVICE_CLASS (klass)->create_element = synthcam_device_create_element;
}

static void
synthcam_device_init (SynthCamDevice *self)
{
  (void) self;
}

static GstStructure *
device_properties (const SynthCamEntry *entry)
{
  g_autofree gchar *path = synthcam_device_path (entry->name, entry->index);

  return gst_structure_new ("synthcam-device",
      "device.api", G_TYPE_STRING, "synthcam",
      "device.path", G_TYPE_STRING, path,
      "synthcam.camera-name", G_TYPE_STRING, entry->name,
      "synthcam.camera-index", G_TYPE_UINT, entry->index, NULL);
}

GstDevice *
synthcam_device_new (const SynthCamEntry *entry)
{
  g_autoptr (GstCaps) caps = synthcam_src_caps ();
  g_autoptr (GstStructure) props = device_properties (entry);
  SynthCamDevice *device = g_object_new (SYNTHCAM_TYPE_DEVICE,
      "display-name", entry->name, "device-class", "Video/Source",
      "caps", caps, "properties", props, NULL);

  device->camera_name = g_strdup (entry->name);
  device->camera_index = entry->index;
  return GST_DEVICE (device);
}

gboolean
synthcam_device_is (SynthCamDevice *device, const gchar *name, guint index)
{
  return device->camera_index == index
      && g_str_equal (device->camera_name, name);
}
