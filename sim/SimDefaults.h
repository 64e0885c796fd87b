// Defaults and limits of the simulator's command line and control channel.
#pragma once

namespace SimDefaults {

inline constexpr const char* PORT_NAME = "kordex-sim";
inline constexpr const char* CONTROL_SUFFIX = ".ctl";

inline constexpr int TELEMETRY_RATE = 50; // frames per second in TX mode
inline constexpr int TELEMETRY_RATE_MIN = 1;
inline constexpr int TELEMETRY_RATE_MAX = 1000;

inline constexpr int UPLOAD_IDLE_MS = 300; // silence that ends a sample stream
inline constexpr int UPLOAD_IDLE_MS_MIN = 1;
inline constexpr int UPLOAD_IDLE_MS_MAX = 60000;

// Bytes of a frame left waiting longer than this are dropped when more bytes
// arrive: the tool writes each frame at once, so a stale fragment is garbage.
inline constexpr int FRAME_GAP_MS = 100;

} // namespace SimDefaults
