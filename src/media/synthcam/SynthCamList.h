#pragma once

#include <glib.h>

G_BEGIN_DECLS

/* The camera file: the path in QUADROVIA_SYNTHCAMS names a text file with one
 * camera per line, the line being the camera's friendly name. A line ending in
 * " [busy]" names a camera that another program holds; one ending in
 * " [nocontrols]" a camera whose driver offers no picture controls (both may
 * end a line, in either order). A camera is identified
 * by its name and its occurrence among the lines of that name, so that editing
 * other lines never changes which camera a running element stands for.
 *
 * The file is read afresh by every call; nothing is cached. */

#define SYNTHCAM_ENV "QUADROVIA_SYNTHCAMS"

typedef struct {
  gchar *name;    /* valid UTF-8, never empty */
  guint index;    /* occurrence among the lines named `name`, from 0 */
  guint position; /* place among all the cameras of the file, from 0 */
  gboolean busy;
  gboolean no_controls;
} SynthCamEntry;

/* Cameras in file order; empty when the variable is unset or the file is
 * missing, unreadable or empty. Free with g_ptr_array_unref. */
GPtrArray *synthcam_list_read (void);

/* The entry for (name, index), or NULL when the list has none. */
const SynthCamEntry *synthcam_list_find (GPtrArray *entries, const gchar *name,
    guint index);

/* A camera's device path, "synthcam:<index>:<name>" with every byte of the
 * name other than ASCII letters, digits, '-', '_' and '.' written as "+XX"
 * (hexadecimal): a single word that GStreamer's launch syntax and a shell both
 * take as it stands. */
gchar *synthcam_device_path (const gchar *name, guint index);

/* The name and index of a device path; FALSE (outputs untouched) when `path`
 * is not one. */
gboolean synthcam_parse_device_path (const gchar *path, gchar **name,
    guint *index);

G_END_DECLS
