// Defaults and limits of the simulator's command line and control channel.
#pragma once

#include <cstddef>

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

// How long the board stays busy after a frame, from the frame's last byte: it
// takes one parameter write every 100 ms and finishes a sector erase within the
// 500 ms that follow the frame. These are the board's own figures, kept apart
// from the tool's pauses so that a change in the tool cannot move the witness.
// An erase-all and a slot request keep it busy for no time the tool relies on:
// it waits for nothing after erase-all and may follow a slot request at once.
inline constexpr int WRITE_BUSY_MS = 100;
inline constexpr int SECTOR_ERASE_BUSY_MS = 500;

// A frame counts as late only when it can have come more than this before the
// board is ready. The bounds of an arrival (sim/Arrival.h) already cover late
// reads; this covers the millisecond clocks of the tool and the simulator and
// the pseudo-terminal's hand-over of written bytes to the reading side. That
// hand-over runs in a kernel worker, which a machine busy with sanitizer builds
// has been seen to hold back 6 ms. It stays far below the 50 ms by which a frame
// sent at half the board's pace is early; the exact pacing is checked on
// simulated time.
inline constexpr int CLOCK_ALLOWANCE_MS = 15;

// How often the simulator looks whether the pseudo-terminal's input is empty
// while the port is open: the earliest moment of the next arrival it can prove.
inline constexpr int INPUT_WATCH_MS = 2;

// How the output may be cut into pieces and joined in bundles (sim/WireShape.h).
// A USB serial bridge hands over at most 62 to 64 bytes at a time; larger pieces
// stand for a line with no cutting worth the name. A gap beyond a second would
// run into the tool's answer time.
inline constexpr int PIECE_SIZE_MIN = 1;
inline constexpr int PIECE_SIZE_MAX = 4096;
inline constexpr int PIECE_GAP_MS_MIN = 0;
inline constexpr int PIECE_GAP_MS_MAX = 1000;
inline constexpr int BUNDLE_MIN = 2;
inline constexpr int BUNDLE_MAX = 64;

// Late frames that the control channel lists (the most recent ones).
inline constexpr std::size_t RECENT_LATE_FRAMES = 20;

} // namespace SimDefaults
