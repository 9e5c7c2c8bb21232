#pragma once

namespace channels {

struct Channel;

// Connects the channel's capture source to its video window for preview,
// through its sample grabber when `throughGrabber`. Raises when a member has
// no platform filter or the path cannot be built; any success counts, also
// the one that says the preview was split off the capture output.
void RenderPreview(Channel& channel, bool throughGrabber);
// Connects the capture source's capture output to the channel's writer.
void RenderCapture(Channel& channel);

}  // namespace channels
