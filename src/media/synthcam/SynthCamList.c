#include "SynthCamList.h"

#include <string.h>

#define BUSY_SUFFIX " [busy]"
#define NO_CONTROLS_SUFFIX " [nocontrols]"

static void
entry_free (gpointer data)
{
  SynthCamEntry *entry = data;

  g_free (entry->name);
  g_free (entry);
}

static guint
count_named (GPtrArray *entries, const gchar *name)
{
  guint count = 0;

  for (guint i = 0; i < entries->len; i++) {
    const SynthCamEntry *entry = g_ptr_array_index (entries, i);
    if (g_str_equal (entry->name, name))
      count++;
  }
  return count;
}

static gboolean
is_blank (const gchar *text)
{
  for (; *text; text++)
    if (!g_ascii_isspace (*text))
      return FALSE;
  return TRUE;
}

/* Cuts `suffix` off the end of `line` when it ends in it. */
static gboolean
take_suffix (gchar *line, const gchar *suffix)
{
  if (!g_str_has_suffix (line, suffix))
    return FALSE;
  line[strlen (line) - strlen (suffix)] = '\0';
  return TRUE;
}

/* Takes one line (without its '\n') into `entries` unless it is blank. */
static void
add_line (GPtrArray *entries, gchar *line)
{
  gsize len = strlen (line);
  gboolean busy;
  gboolean no_controls;
  SynthCamEntry *entry;

  if (len > 0 && line[len - 1] == '\r')
    line[--len] = '\0';
  no_controls = take_suffix (line, NO_CONTROLS_SUFFIX);
  len = strlen (line);
  busy = g_str_has_suffix (line, BUSY_SUFFIX);
  if (busy)
    line[len - strlen (BUSY_SUFFIX)] = '\0';
  no_controls = take_suffix (line, NO_CONTROLS_SUFFIX) || no_controls;
  if (is_blank (line))
    return;

  entry = g_new0 (SynthCamEntry, 1);
  /* Device names and element properties are UTF-8 strings; a file in another
   * encoding still gives usable (if odd-looking) names. */
  entry->name = g_utf8_make_valid (line, -1);
  entry->index = count_named (entries, entry->name);
  entry->position = entries->len;
  entry->busy = busy;
  entry->no_controls = no_controls;
  g_ptr_array_add (entries, entry);
}

static GPtrArray *
parse (const gchar *text)
{
  GPtrArray *entries = g_ptr_array_new_with_free_func (entry_free);
  g_auto (GStrv) lines = g_strsplit (text, "\n", -1);

  for (gchar **line = lines; *line; line++)
    add_line (entries, *line);
  return entries;
}

GPtrArray *
synthcam_list_read (void)
{
  const gchar *path = g_getenv (SYNTHCAM_ENV);
  g_autofree gchar *text = NULL;

  if (path == NULL || *path == '\0'
      || !g_file_get_contents (path, &text, NULL, NULL))
    return g_ptr_array_new_with_free_func (entry_free);
  /* Text after a NUL byte is ignored: the file is a list of names, not data. */
  return parse (text);
}

const SynthCamEntry *
synthcam_list_find (GPtrArray *entries, const gchar *name, guint index)
{
  if (name == NULL)
    return NULL;
  for (guint i = 0; i < entries->len; i++) {
    const SynthCamEntry *entry = g_ptr_array_index (entries, i);
    if (entry->index == index && g_str_equal (entry->name, name))
      return entry;
  }
  return NULL;
}

#define PATH_PREFIX "synthcam:"

static gboolean
is_plain (guchar c)
{
  return g_ascii_isalnum (c) || c == '-' || c == '_' || c == '.';
}

gchar *
synthcam_device_path (const gchar *name, guint index)
{
  GString *path = g_string_new (NULL);

  g_string_append_printf (path, PATH_PREFIX "%u:", index);
  for (const guchar *c = (const guchar *) name; *c; c++) {
    if (is_plain (*c))
      g_string_append_c (path, *c);
    else
      g_string_append_printf (path, "+%02X", *c);
  }
  return g_string_free (path, FALSE);
}

/* Decodes the name part; NULL unless it is well formed valid UTF-8. */
static gchar *
decode_name (const gchar *text)
{
  g_autoptr (GString) name = g_string_new (NULL);

  for (const gchar *c = text; *c; c++) {
    if (*c != '+') {
      if (!is_plain (*c))
        return NULL;
      g_string_append_c (name, *c);
      continue;
    }
    if (!g_ascii_isxdigit (c[1]) || !g_ascii_isxdigit (c[2]))
      return NULL;
    g_string_append_c (name, (gchar) (g_ascii_xdigit_value (c[1]) * 16
            + g_ascii_xdigit_value (c[2])));
    c += 2;
  }
  if (name->len == 0 || !g_utf8_validate (name->str, name->len, NULL))
    return NULL;
  return g_string_free (g_steal_pointer (&name), FALSE);
}

gboolean
synthcam_parse_device_path (const gchar *path, gchar **name, guint *index)
{
  guint64 number;
  gchar *end;
  gchar *decoded;

  if (path == NULL || !g_str_has_prefix (path, PATH_PREFIX)
      || !g_ascii_isdigit (path[strlen (PATH_PREFIX)]))
    return FALSE;
  number = g_ascii_strtoull (path + strlen (PATH_PREFIX), &end, 10);
  if (*end != ':' || number > G_MAXUINT)
    return FALSE;
  decoded = decode_name (end + 1);
  if (decoded == NULL)
    return FALSE;
  *name = decoded;
  *index = (guint) number;
  return TRUE;
}
