// The board's messages other than answers, telemetry and shots, by their bytes.
#pragma once

#include "common/Define.h"

namespace BoardMessages {
inline constexpr char WRITE_FILE_DONE[] = "OK WRITE FILE";
inline constexpr char UPLOAD_END[] = "End.";
inline constexpr char PAUSE_MARK = 'B'; // a block that starts with it pauses the tool
// 0xAA 0xAA and 50 two-byte samples.
inline constexpr int SHOT_LENGTH = Define::SHOT_HEADER_BYTES + Define::SHOT_SAMPLES * 2;
} // namespace BoardMessages
