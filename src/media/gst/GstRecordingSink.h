#pragma once
#include <gst/gst.h>

#include "platform/OutputFile.h"

namespace media::gst {

// The ASF writer's file output: a sink element that writes what reaches it
// to a file the writer created new, moving to the byte offset of each new
// segment (how the muxer rewrites its header at the end).
//
// Written by hand because GStreamer's file sinks open the file themselves,
// replacing one of that name, and answer a failed write with an error flow
// that stops the whole stream, the camera's preview with it. This sink stops
// writing instead and swallows the rest of the run, so the stream goes on
// and the file stays playable up to the failure; it raises the graph event
// EC_ERROR_STILLPLAYING once per run with the failure's result
// (ResultOfFileError). A file that could not be created is reported the
// same way when the run starts.
class GstRecordingSink {
 public:
  // A new floating element.
  static GstElement* Make();
  // The file of the next run, which the sink owns from then on and closes
  // when it stops. A file that is not open stands for its failed creation
  // (Error()), or, with no error, for no file name, which fails the run.
  // User-interface thread, element stopped.
  static void SetFile(GstElement* sink, platform::OutputFile file);
  // The errno of this run's failure, 0 while there is none. Any thread.
  static int Failure(GstElement* sink);
};

}  // namespace media::gst
