#pragma once

namespace velloq::platform {

// Whether a PulseAudio (or PipeWire-Pulse) server accepts a client connection
// within a second. Opens no stream, so no recording indicator lights up.
bool soundServerAnswers();

} // namespace velloq::platform
