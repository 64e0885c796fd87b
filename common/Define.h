// Shared constants of the tool and of the board protocol.
// Every number that means something on the wire or on screen has its name here.
#pragma once

#include <cstdint>

namespace Define {

// ---- Program -------------------------------------------------------------
inline constexpr int VERSIONE = 16;
// The window's application name, and the folder under the user's data folder
// that the window and the command line share.
inline constexpr char PROGRAM_NAME[] = "Tavrin Manager";

// ---- Command frame -------------------------------------------------------
inline constexpr char START_CHAR = '#';
inline constexpr char END_CHAR = '\n';
inline constexpr int COMAND_LENGHT = 7;       // "#", code, four payload bytes, LF
inline constexpr int LOADER_FRAME_LENGTH = 5; // "#", code, low, high, LF
inline constexpr int FRAME_PAYLOAD_BYTES = 4;

// Command codes of the application firmware.
inline constexpr char NULL_CMD = '0';
inline constexpr char WRITE_CMD = '1';
inline constexpr char READ_CMD = '2';
inline constexpr char RED_CMD = '3';
inline constexpr char GREEN_CMD = '4';
inline constexpr char BLU_CMD = '5';
inline constexpr char INITSD_CMD = '6';
inline constexpr char SENDFILE_CMD = '7';
inline constexpr char SETSLEEP_CMD = '8';
inline constexpr char WRITEFLASH_CMD = '9';
inline constexpr char READFLASH_CMD = 'A';
inline constexpr char SETADDRFLASH_CMD = 'B';
inline constexpr char CLOSEREADFLASH_CMD = 'C';
inline constexpr char ERASEALL_CMD = 'D';
inline constexpr char ERASESECTOR_CMD = 'E';
inline constexpr char SLEEP_CMD = 'F';
inline constexpr char ACTIVE_CMD = 'G';
inline constexpr char AUDIO_ON_CMD = 'H';
inline constexpr char AUDIO_OFF_CMD = 'I';
inline constexpr char DATAFILE_CMD = 'L';
inline constexpr char POWERON_CMD = 'M';
inline constexpr char POWEROFF_CMD = 'N';
inline constexpr char LOOP_CMD = 'O';
inline constexpr char CLASH_CMD = 'P';
inline constexpr char SWING_CMD = 'Q';
inline constexpr char SOUND_SECT_CMD_64 = 'R';
inline constexpr char LOOP1_CMD = 'S';
inline constexpr char LOOP2_CMD = 'T';
inline constexpr char ERASE_FLASH_BOOT_CMD = 'U';
inline constexpr char WRITE_FLASH_BOOT_CMD = 'V';
inline constexpr char READ_FLASH_BOOT_CMD = 'Z';

// Command codes of the loader (5-byte frames only, while the board runs its loader).
inline constexpr char WRITEFLASHAPP_CMD = 'A';
inline constexpr char READFLASHAPP_CMD = 'B';
inline constexpr char ERASEFLASHAPP_CMD = 'C';
inline constexpr char READPAGEFLASHAPP_CMD = 'D';

// ---- Parameter memory ----------------------------------------------------
inline constexpr int MAXEEPROM = 225; // highest address read by the sweep
inline constexpr int PARAMETER_COUNT = MAXEEPROM + 1;
inline constexpr int PARAMETER_NOT_SET = 255;   // the board's "no value" byte
inline constexpr int PARAMETER_MAX_VALUE = 254; // highest value the screen offers
inline constexpr int PARAMETER_BYTE_MAX = 255;  // highest value a one-byte parameter can carry

inline constexpr int ADDR_VERSIONE = 1;
inline constexpr int ADDR_STATO_TAVRIN = 2;
inline constexpr int ADDR_STATO_AUDIO = 3;
inline constexpr int ADDR_SCALA_ACCEL = 4;
inline constexpr int ADDR_SCALA_GIRO = 5;
inline constexpr int ADDR_BANK = 6;
inline constexpr int ADDR_PRESENZA_SWITCH = 7;
inline constexpr int ADDR_CALIB_VERT_LL = 8;
inline constexpr int ADDR_CALIB_VERT_HH = 9;
inline constexpr int ADDR_CALIB_HOR_LL = 10;
inline constexpr int ADDR_CALIB_HOR_HH = 11;
inline constexpr int ADDR_SN_HH = 12;
inline constexpr int ADDR_SN_LL = 13;
inline constexpr int ADDR_BATT_INF_HH = 14;
inline constexpr int ADDR_BATT_INF_LL = 15;
inline constexpr int ADDR_BATT_SUP_HH = 16;
inline constexpr int ADDR_BATT_SUP_LL = 17;
inline constexpr int ADDR_LOTTO_HH_H = 100;
inline constexpr int ADDR_LOTTO_HH_L = 101;
inline constexpr int ADDR_LOTTO_LL_H = 102;
inline constexpr int ADDR_LOTTO_LL_L = 103;
inline constexpr int ADDR_SN_HH_H = 104;
inline constexpr int ADDR_SN_HH_L = 105;
inline constexpr int ADDR_SN_LL_H = 106;
inline constexpr int ADDR_SN_LL_L = 107;
inline constexpr int ADDR_ENABLE_VERSIONE_30 = 110;
inline constexpr int ADDR_ENABLE_VERSIONE_31 = 111;
inline constexpr int ADDR_ENABLE_VERSIONE_32 = 112;
inline constexpr int ADDR_ENABLE_VERSIONE_33 = 113;
inline constexpr int ADDR_ENABLE_VERSIONE_34 = 114;

// Banks: 24 addresses each from 24*b, and a second-page block from 150 + 24*b.
inline constexpr int BANK_COUNT = 3;
inline constexpr int EEPROM_PAGE_SIZE = 24;
inline constexpr int EEPROM_PAGE_BANK1 = 24;
inline constexpr int EEPROM_PAGE_BANK2 = 48;
inline constexpr int EEPROM_PAGE_BANK3 = 72;
inline constexpr int EEPROM_PAGE2 = 150;
inline constexpr int EEPROM_PAGE2_BANK1 = 174;
inline constexpr int EEPROM_PAGE2_BANK2 = 198;
inline constexpr int EEPROM_PAGE2_BANK3 = 222;

inline constexpr int BANK1 = 1;
inline constexpr int BANK2 = 2;
inline constexpr int BANK3 = 3;

// Offsets within a bank (from 24*b).
inline constexpr int ADDR_TH1_HH_BANK = 0;
inline constexpr int ADDR_TH1_LL_BANK = 1;
inline constexpr int ADDR_TH2_HH_BANK = 2;
inline constexpr int ADDR_TH2_LL_BANK = 3;
inline constexpr int ADDR_R1_BANK = 4;
inline constexpr int ADDR_G1_BANK = 5;
inline constexpr int ADDR_B1_BANK = 6;
inline constexpr int ADDR_R2_BANK = 7;
inline constexpr int ADDR_G2_BANK = 8;
inline constexpr int ADDR_B2_BANK = 9;
inline constexpr int ADDR_WH3_BANK = 10;
inline constexpr int ADDR_TIME1_BANK = 11;
inline constexpr int ADDR_TIME2_BANK = 12;
inline constexpr int ADDR_TH3_HH_BANK = 13;
inline constexpr int ADDR_TH3_LL_BANK = 14;
inline constexpr int ADDR_R3_BANK = 15;
inline constexpr int ADDR_G3_BANK = 16;
inline constexpr int ADDR_B3_BANK = 17;
inline constexpr int ADDR_R4_BANK = 18;
inline constexpr int ADDR_G4_BANK = 19;
inline constexpr int ADDR_B4_BANK = 20;
inline constexpr int ADDR_WH1_BANK = 21;
inline constexpr int ADDR_WH2_BANK = 22;
inline constexpr int ADDR_WH4_BANK = 23;

// Offsets within a bank's second-page block (from 150 + 24*b).
inline constexpr int ADDR_RFBK_BANK = 0;
inline constexpr int ADDR_GFBK_BANK = 1;
inline constexpr int ADDR_BFBK_BANK = 2;
inline constexpr int ADDR_WFBK_BANK = 3;
inline constexpr int ADDR_FREQUENCY = 4;

// The frequency mode lives in bank 1's second-page block only.
inline constexpr int ADDR_FREQUENCY_MODE = EEPROM_PAGE2_BANK1 + ADDR_FREQUENCY;

inline constexpr int FLICKER_MAX = 100;
inline constexpr int SENSITIVITY_MAX = 65535;
inline constexpr int SIGNED_PAIR_MIN = -32768; // the signed 16-bit pairs 8/9, 10/11 and 12/13
inline constexpr int SIGNED_PAIR_MAX = 32767;

// Frequency modes at bank 1's ADDR_FREQUENCY.
inline constexpr int FREQUENCY_STD = 1;
inline constexpr int FREQUENCY_MED = 2;
inline constexpr int FREQUENCY_EVO = 3;

// ---- Parameter replies ---------------------------------------------------
// A read reply is the read code, the address and the value; the loader
// acknowledges by echoing its command code in byte 0.
inline constexpr int REPLY_CODE_INDEX = 0;
inline constexpr int REPLY_ADDRESS_INDEX = 1;
inline constexpr int REPLY_VALUE_INDEX = 2;
inline constexpr int REPLY_LENGTH = 3;
inline constexpr char REPLY_END_MARK[] = "End"; // in bytes 1..3 of a read reply
inline constexpr int REPLY_END_MARK_INDEX = 1;

// ---- Serial number display -----------------------------------------------
inline constexpr int SERIAL_PART_BYTES = 4; // each part is a 32-bit value, most significant byte first
inline constexpr int SERIAL_PART_MIN_DIGITS = 4;

// ---- Board status (address 2, also reported by telemetry) ---------------
inline constexpr int STATO_TAVRIN_ACTIVE = 1;
inline constexpr int STATO_TAVRIN_SLEEP = 2;
inline constexpr int STATO_TAVRIN_COMMAND_MODE_TX = 3;
inline constexpr int STATO_TAVRIN_COMMAND_MODE_NOTX = 4;

// ---- Sound memory --------------------------------------------------------
inline constexpr int MAX_FILE_SIZE = 65000;      // one-sector slots, WAV size in bytes
inline constexpr int MAX_FILE_HUM_SIZE = 131000; // hum slots (two sectors)
inline constexpr int WAV_HEADER_BYTES = 44;
inline constexpr std::uint32_t SECTOR_SIZE = 0x10000;
inline constexpr std::uint32_t SOUND_MEMORY_SIZE = 0x400000;

// ---- Sound slots, erasing and upload (sound/) ----------------------------
inline constexpr int SOUND_BANK_SECTORS = 20;
inline constexpr std::uint32_t SOUND_BANK_SIZE = SOUND_BANK_SECTORS * SECTOR_SIZE; // 0x140000
inline constexpr int HUM_SECTORS = 2;
inline constexpr int SWING_SLOTS = 6;
inline constexpr int CLASH_SLOTS = 6;
inline constexpr int POWER_CLASH_SLOTS = 4;
inline constexpr int SOUND_ROWS_PER_BANK = 4; // "Guard", "Swing", "Clash", "Power Clash"
inline constexpr int WAV_SAMPLE_BYTES = 2;
inline constexpr std::uint16_t SAMPLE_SIGN_BIT = 0x8000;
inline constexpr std::uint16_t SAMPLE_NEVER_WRITTEN = 0xFFFF; // the board reads it as erased flash
inline constexpr std::uint16_t SAMPLE_STAND_IN = 0xFFFE;
inline constexpr int UART_BITS_PER_BYTE = 10; // start, 8 data, stop
// Pauses after a slot request, before the question.
inline constexpr int SLOT_REQUEST_PAUSE_MS = 1000;
inline constexpr int SLOT_REQUEST_PAUSE_LONG_MS = 2000; // bank 1 power on
inline constexpr int SLOT_REQUEST_PAUSE_HUM_MS = 3000;
inline constexpr int SLOT_REQUEST_PAUSE_NONE_MS = 0; // bank 1 swing 2
// Row erase: each sector twice, 500 ms apart, 1000 ms after the second.
inline constexpr int ERASE_REPEAT_PAUSE_MS = 500;
inline constexpr int ERASE_SETTLE_PAUSE_MS = 1000;
inline constexpr int ERASE_ALL_CLOSE_PAUSE_MS = 100; // between the close frame and erase all
// Upload: 1000 ms after each erase frame, request and stream on the 20 ms tick, 4000 ms
// before the dialog closes.
inline constexpr int UPLOAD_ERASE_PAUSE_MS = 1000;
inline constexpr int UPLOAD_TICK_MS = 20;
inline constexpr int UPLOAD_CLOSING_PAUSE_MS = 4000;
// The board answers "End." once it has stored a stream. It may still be storing
// when the last byte leaves (a USB line hands bytes over faster than it writes),
// so the answer is awaited, from the last byte's departure, for the stream's own
// time at the stream's top pace plus this margin; the closing pause lies within it.
inline constexpr int UPLOAD_END_MARGIN_MS = 5000;
static_assert(UPLOAD_END_MARGIN_MS >= UPLOAD_CLOSING_PAUSE_MS);
// The sample stream goes at most at the pace of a 115200 baud line (11,520 bytes
// a second), whatever the nominal baud: a USB board takes bytes at the link's
// pace, and after the start-up re-open at 9600 the stream must not crawl. It is
// handed to the port this far (in time at that pace) ahead of what has left, so
// the line never idles while the window keeps its time for painting, and a real
// slow line, whose driver queue stays full, holds it back.
inline constexpr int UPLOAD_STREAM_BAUD = 115200;
inline constexpr int UPLOAD_QUEUE_LEAD_MS = 250;

// ---- Sound-file browser ---------------------------------------------------
// Header fields shown for the selected file (byte offsets from the file start).
inline constexpr int WAV_FORMAT_OFFSET = 20;   // low byte of the format code, 1 for PCM
inline constexpr int WAV_CHANNELS_OFFSET = 22; // low byte of the channel count
inline constexpr int WAV_RATE_OFFSET = 24;     // low 16 bits of the sample rate, little-endian
inline constexpr int WAV_BITS_OFFSET = 34;     // low byte of the bits per sample
inline constexpr int WAVEFORM_SERIES = 4;      // the waveform is drawn in the first
inline constexpr int WAVEFORM_AXIS_MAX = 70000;
// A file far larger than any slot is drawn from its first samples only, so that
// selecting it costs the same whatever its size; a hum file is drawn whole.
inline constexpr int WAVEFORM_READ_SAMPLES = 1 << 20;
// More samples than a chart can tell apart are drawn as the lowest and highest
// of each run of samples, which keeps the outline of the trace.
inline constexpr int WAVEFORM_MAX_POINTS = 1 << 16;
inline constexpr int SAMPLE_GRID_COLUMNS = 32; // hexadecimal sample cells per monitor row
inline constexpr int SAMPLE_GRID_CELLS = 499;
inline constexpr int SAMPLE_GRID_FIRST_ROW = 1;

// ---- Bulk load of the base sound set ---------------------------------------
inline constexpr int BULK_LOAD_TICK_MS = 1000;

// ---- Telemetry -----------------------------------------------------------
inline constexpr int TELEMETRY_MIN_BLOCK = 25; // blocks of 25 bytes or more starting 0xFF
inline constexpr unsigned char TELEMETRY_START = 0xFF;
inline constexpr unsigned char SHOT_START = 0xAA;
inline constexpr int SHOT_SAMPLES = 50;
inline constexpr int BATTERY_EMPTY = 2400;
inline constexpr int BATTERY_FULL = 2950;
inline constexpr int BATT_DIFF = BATTERY_FULL - BATTERY_EMPTY;

// ---- Motion: telemetry, live chart, shots, calibration --------------------
inline constexpr int TELEMETRY_FIELD_COUNT = 11;    // big-endian 16-bit values from offset 1
inline constexpr int TELEMETRY_STATO_OFFSET = 23;   // one unsigned byte
inline constexpr int TELEMETRY_DECODED_BYTES = 24;  // offsets 0 to 23; the rest is ignored
inline constexpr int TELEMETRY_STATO_ROW = 11;      // monitor grid row of STATO
inline constexpr int TELEMETRY_STATE_TEXT_ROW = 12; // and of its text, in the last column
inline constexpr int TELEMETRY_HEX_MIN_DIGITS = 2;
inline constexpr int MAXMEASURES_BATT = 100; // battery readings averaged
inline constexpr int PERCENT_FULL = 100;
inline constexpr int BATTERY_BELOW_SCALE_PERCENT = 5; // shown for a reading under the empty mark
inline constexpr int BATTERY_BAR_FULL_WIDTH = 250;    // pixels at 100 %
inline constexpr int SHOT_HEADER_BYTES = 2;           // 0xAA 0xAA
inline constexpr int CHART_SERIES_COUNT = 4;          // X, Y, Z on the left axis, battery on the right
inline constexpr int CHART_POINTS_PER_PAGE = 500;
inline constexpr int CHART_DESIGN_AXIS_LIMIT = 32000;  // left axis until the first reset
inline constexpr int CHART_AXIS_LIMIT = 32767;         // after a reset or a shot
inline constexpr int CHART_BATTERY_AXIS_MAX = 4000;    // right axis, raw counts
inline constexpr int CHART_REDRAW_MS = 25;             // at most 40 redraws a second
inline constexpr int CAL_TICK_MS = 50;                 // the calibration steps
inline constexpr int CAL_START_WAIT_MS = 1000;         // the board starts streaming
inline constexpr int CAL_END_FIRST_WAIT_MS = 200;
inline constexpr int CAL_END_SECOND_WAIT_MS = 1500;
inline constexpr int CAL_VERT_PAUSE_MS = 100;  // between the two bytes of the vertical constant
inline constexpr int CAL_HORZ_PAUSE_MS = 50;   // and of the horizontal one
inline constexpr int CAL_MANUAL_PAUSE_MS = 10; // between the two bytes with "Man."
inline constexpr int CAL_SLOTS = 100;
inline constexpr int CAL_VERT_SAMPLES = 98;            // the divisor of the vertical mean
inline constexpr int CAL_HOR_SAMPLES = 99;             // and of the horizontal one
inline constexpr int CAL_STEP_VERTICAL_PROMPT = 1;     // the calibration's steps
inline constexpr int CAL_STEP_FIRST_VERTICAL_SAMPLE = 2;
inline constexpr int CAL_STEP_HORIZONTAL_PROMPT = 100;
inline constexpr int CAL_STEP_FIRST_HORIZONTAL_SAMPLE = 101;
inline constexpr int CAL_STEP_DONE = 200;
inline constexpr int CAL_PROGRESS_MAX = 100;
inline constexpr int MAXINT_16 = 32767;
inline constexpr int CAL_CONSTANT_MIN = -32767; // -32768 is refused although it fits
inline constexpr int BYTE_MASK = 0xFF;
inline constexpr int BITS_PER_BYTE = 8;

// ---- Serial link ---------------------------------------------------------
inline constexpr std::uint32_t LINK_BAUD = 115200;
inline constexpr std::uint32_t LINK_BAUD_AT_START = 9600; // the automatic re-open at start-up
inline constexpr std::uint32_t LINK_QUEUE_SIZE = 8192;

// ---- Settings file and messages ----------------------------------------
inline constexpr int SETTINGS_LINE_MAX = 4096; // bytes; a longer line is not a valid setting
inline constexpr int QUOTED_VALUE_MAX = 80;    // characters of a bad value that a message quotes

// ---- Pacing (milliseconds) ---------------------------------------------
inline constexpr int MAIN_START_DELAY_MS = 1000;
inline constexpr int SWEEP_TICK_MS = 10;
inline constexpr int CONNECTION_CHECK_TICK_MS = 2000;
inline constexpr int WRITE_PAUSE_MS = 100;
inline constexpr int BLOCK_B_PAUSE_MS = 1000;

// ---- Firmware update -----------------------------------------------------
inline constexpr int FIRMWARE_TICK_MS = 20;          // one HEX line per tick while the loader keeps up
inline constexpr int FIRMWARE_RESTART_TICK_MS = 500; // the steps that bring the board back afterwards
inline constexpr int FIRMWARE_WORD_PAUSE_MS = 4;     // after every program word
inline constexpr int FIRMWARE_TIMEOUT_TICKS = 200;   // ticks without an acknowledgement (4 s)
inline constexpr int FIRMWARE_GAUGE_BYTES_PER_STEP = 50;
inline constexpr int HANDOVER_TICK_MS = 200;

// Intel HEX records: ":", count, address, type, data, checksum, in hex digit pairs.
inline constexpr char HEX_START_CODE = ':';
inline constexpr int HEX_COUNT_POS = 1;
inline constexpr int HEX_ADDRESS_POS = 3;
inline constexpr int HEX_TYPE_POS = 7;
inline constexpr int HEX_DATA_POS = 9;
inline constexpr int HEX_BYTE_DIGITS = 2;
inline constexpr int HEX_ADDRESS_DIGITS = 4;
inline constexpr int HEX_WORD_DIGITS = 4;
inline constexpr int HEX_WORD_ADDRESS_STEP = 2;
inline constexpr int HEX_HEADER_BYTES = 4;                     // count, address (2), type
inline constexpr int HEX_FRAMING_BYTES = HEX_HEADER_BYTES + 1; // and the checksum
inline constexpr int HEX_RECORD_DATA = 0;
inline constexpr int HEX_RECORD_END_OF_FILE = 1;
inline constexpr int HEX_RECORD_LAST_KNOWN = 5; // start linear address

// ---- Wait dialog heights -------------------------------------------------
inline constexpr int WAIT_HEIGHT_TEXT_ONLY = 70;
inline constexpr int WAIT_HEIGHT_BUTTONS_TOP = 110;
inline constexpr int WAIT_HEIGHT_WITH_BUTTONS = 140;
inline constexpr int WAIT_HEIGHT_WITH_BUTTONS_TALL = 144;

} // namespace Define
