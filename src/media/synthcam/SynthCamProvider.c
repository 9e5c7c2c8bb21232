#include "SynthCamProvider.h"

#include "SynthCamDevice.h"
#include "SynthCamList.h"

#define WATCH_INTERVAL_US (G_USEC_PER_SEC / 5)

struct _SynthCamProvider
{
  GstDeviceProvider parent;

  /* `lock` guards `stopping`; `wake` ends the watcher's wait early. */
  GMutex lock;
  GCond wake;
  gboolean stopping;
  GThread *watcher;             /* owned between start() and stop() */
};

G_DEFINE_TYPE (SynthCamProvider, synthcam_provider, GST_TYPE_DEVICE_PROVIDER);
GST_DEVICE_PROVIDER_REGISTER_DEFINE (synthcamdeviceprovider,
    "synthcamdeviceprovider", GST_RANK_PRIMARY, SYNTHCAM_TYPE_PROVIDER);

static GList *
synthcam_provider_probe (GstDeviceProvider *provider)
{
  g_autoptr (GPtrArray) entries = synthcam_list_read ();
  GList *devices = NULL;

  (void) provider;
  for (guint i = entries->len; i > 0; i--)
    devices = g_list_prepend (devices,
        synthcam_device_new (g_ptr_array_index (entries, i - 1)));
  return devices;
}

/* ---- keeping a started provider's devices in step with the file -------- */

static gboolean
device_listed (SynthCamDevice *device, GPtrArray *entries)
{
  for (guint i = 0; i < entries->len; i++) {
    const SynthCamEntry *entry = g_ptr_array_index (entries, i);
    if (synthcam_device_is (device, entry->name, entry->index))
      return TRUE;
  }
  return FALSE;
}

static gboolean
entry_has_device (const SynthCamEntry *entry, GList *devices)
{
  for (GList *l = devices; l; l = l->next)
    if (synthcam_device_is (l->data, entry->name, entry->index))
      return TRUE;
  return FALSE;
}

static guint
file_position (SynthCamDevice *device, GPtrArray *entries)
{
  for (guint i = 0; i < entries->len; i++) {
    const SynthCamEntry *entry = g_ptr_array_index (entries, i);
    if (synthcam_device_is (device, entry->name, entry->index))
      return i;
  }
  return G_MAXUINT;
}

/* gst_device_provider_get_devices() hands a started provider's list out in
 * reverse, so keeping it in reverse file order gives file order to users. */
static gint
later_first (gconstpointer a, gconstpointer b, gpointer entries)
{
  guint pa = file_position ((SynthCamDevice *) a, entries);
  guint pb = file_position ((SynthCamDevice *) b, entries);

  return pa == pb ? 0 : (pa > pb ? -1 : 1);
}

static gpointer
ref_device (gconstpointer device, gpointer unused)
{
  (void) unused;
  return gst_object_ref ((gpointer) device);
}

static GList *
current_devices (GstDeviceProvider *provider)
{
  GList *devices;

  GST_OBJECT_LOCK (provider);
  devices = g_list_copy_deep (provider->devices, ref_device, NULL);
  GST_OBJECT_UNLOCK (provider);
  return devices;
}

/* gst_device_provider_device_add() puts a device at the head of the list and
 * announces it at once; a user answering the announcement would then see the
 * cameras out of file order. So a new device goes straight to its place in
 * the provider's public list (guarded by its object lock) before the same
 * DEVICE_ADDED message is posted. */
static void
add_in_place (GstDeviceProvider *provider, GstDevice *device,
    GPtrArray *entries)
{
  g_autoptr (GstBus) bus = gst_device_provider_get_bus (provider);

  if (!gst_object_set_parent (GST_OBJECT (device), GST_OBJECT (provider))) {
    gst_object_unref (device);
    return;
  }
  GST_OBJECT_LOCK (provider);
  provider->devices = g_list_insert_sorted_with_data (provider->devices,
      device, later_first, entries);
  GST_OBJECT_UNLOCK (provider);
  gst_bus_post (bus, gst_message_new_device_added (GST_OBJECT (provider),
          device));
}

static void
sync_with_file (GstDeviceProvider *provider)
{
  g_autoptr (GPtrArray) entries = synthcam_list_read ();
  GList *devices = current_devices (provider);

  for (GList *l = devices; l; l = l->next)
    if (!device_listed (l->data, entries))
      gst_device_provider_device_remove (provider, l->data);
  /* Cameras that stay may have swapped places (lines moved in the file). */
  GST_OBJECT_LOCK (provider);
  provider->devices = g_list_sort_with_data (provider->devices, later_first,
      entries);
  GST_OBJECT_UNLOCK (provider);
  for (guint i = 0; i < entries->len; i++)
    if (!entry_has_device (g_ptr_array_index (entries, i), devices))
      add_in_place (provider, synthcam_device_new (g_ptr_array_index (entries,
                  i)), entries);
  g_list_free_full (devices, gst_object_unref);
}

static gpointer
watch_file (gpointer data)
{
  SynthCamProvider *self = data;

  g_mutex_lock (&self->lock);
  while (!self->stopping) {
    gint64 deadline = g_get_monotonic_time () + WATCH_INTERVAL_US;
    while (!self->stopping && g_cond_wait_until (&self->wake, &self->lock,
            deadline)) {
      /* woken early (or spuriously): wait out the interval unless stopping */
    }
    if (self->stopping)
      break;
    g_mutex_unlock (&self->lock);
    sync_with_file (GST_DEVICE_PROVIDER (self));
    g_mutex_lock (&self->lock);
  }
  g_mutex_unlock (&self->lock);
  return NULL;
}

static gboolean
synthcam_provider_start (GstDeviceProvider *provider)
{
  SynthCamProvider *self = SYNTHCAM_PROVIDER (provider);

  self->stopping = FALSE;
  sync_with_file (provider);
  self->watcher = g_thread_new ("synthcam-watch", watch_file, self);
  return TRUE;
}

static void
synthcam_provider_stop (GstDeviceProvider *provider)
{
  SynthCamProvider *self = SYNTHCAM_PROVIDER (provider);

  g_mutex_lock (&self->lock);
  self->stopping = TRUE;
  g_cond_signal (&self->wake);
  g_mutex_unlock (&self->lock);
  g_thread_join (g_steal_pointer (&self->watcher));
}

/* ---- class ------------------------------------------------------------ */

static void
synthcam_provider_finalize (GObject *object)
{
  SynthCamProvider *self = SYNTHCAM_PROVIDER (object);

  g_mutex_clear (&self->lock);
  g_cond_clear (&self->wake);
  G_OBJECT_CLASS (synthcam_provider_parent_class)->finalize (object);
}

static void
synthcam_provider_class_init (SynthCamProviderClass *klass)
{
  GstDeviceProviderClass *provider_class = GST_DEVICE_PROVIDER_CLASS (klass);

  G_OBJECT_CLASS (klass)->finalize = synthcam_provider_finalize;
  provider_class->probe = synthcam_provider_probe;
  provider_class->start = synthcam_provider_start;
  provider_class->stop = synthcam_provider_stop;
  gst_device_provider_class_set_static_metadata (provider_class,
      "Synthetic camera provider", "Source/Video",
      "Lists the synthetic cameras of the file named by " SYNTHCAM_ENV,
      "Quadrovia developers");
}

static void
synthcam_provider_init (SynthCamProvider *self)
{
  g_mutex_init (&self->lock);
  g_cond_init (&self->wake);
}
