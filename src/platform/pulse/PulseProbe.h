#pragma once

namespace velloq::platform {

// Whether a PulseAudio (or PipeWire-Pulse) server accepts a client connection
// within a second. Opens no stream, so no recording indicator lights up.
bool soundServerAnswers();

// Whether a sound server accepts a client and offers at least one
// microphone (the monitors of outputs do not count). This is what
// "microphone allowed" means on a desktop without privacy prompts.
bool microphoneAvailable();

} // namespace velloq::platform
