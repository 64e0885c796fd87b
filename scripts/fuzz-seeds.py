#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets: small valid inputs of every kind
each target reads, into fuzz/regression/<target>/seed-*. Run again after a
change of an input format; findings sit beside the seeds as crash-*."""
import json
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent / "fuzz" / "regression"
REPLY = 0x80


def block(data, reply=False):
    return bytes([(REPLY if reply else 0) | len(data)]) + data


def dispatch():
    telemetry = b"\xff" + b"".join(struct.pack(">h", v) for v in
                                   (100, -100, 4096, 1, 2, 3, 255, 128, 0, 2900, 5000)) + b"\x02" + b"\x00"
    shot = b"\xaa\xaa" + b"".join(struct.pack("<h", v) for v in range(-50, 50, 2))
    replies = b"".join(block(b"2" + bytes([a, v]), True) for a, v in
                       ((1, 16), (3, 1), (10, 255), (11, 0x12), (12, 0x34), (60, 0xff), (61, 0x80), (62, 1), (63, 2)))
    sweep = b"".join(block(b"2" + bytes([a, a * 7 & 0xff]), True) for a in range(256))
    return {
        "replies": replies,
        "sweep": sweep,
        "end-mark": block(b"2End", True),
        "loader": block(b"A") + block(b"C", True),
        "write-file": block(b"OK WRITE FILE"),
        "upload-end": block(b"End.") + block(b"B"),
        "telemetry": block(telemetry) * 3,
        "shot": block(shot),
    }


def wav(samples):
    data = b"".join(struct.pack("<h", s) for s in samples)
    header = (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
              struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16) + b"data" + struct.pack("<I", len(data)))
    return header + data


def sounds():
    return {
        "plain": b"\x00\x010\x010" + wav([0, 1, -1, 32767, -32768, 100]),
        "hum-skips": b"\x02\x011\x012" + wav(range(-8, 8)),
        "header-only": b"\x05\x00\x00" + wav([]),
    }


def settings():
    return {
        "port": b"COM3\r\n0\r\n",
        "device": b"/dev/ttyUSB0\r\n2\r\n",
        "signed": b"ttyACM1\n  +12 \n",
        "one-line": b"COM1",
    }


def frames():
    command = b"#1\x00\x00\x00\x00\n"
    write = b"#W\x10\x00\x00\x2a\n"
    loader = b"#A\x34\x12\n"
    return {
        "commands": bytes([len(command)]) + command + bytes([len(write)]) + write,
        "garbage": bytes([3]) + b"xy#" + bytes([0x40 | len(command)]) + command,
        "hand-over": bytes([0x80 | len(command)]) + command + bytes([4]) + b"\x01\x02\x03\x04" +
                     bytes([len(loader)]) + loader,
    }


def record(address, kind, data):
    body = bytes([len(data), address >> 8, address & 0xFF, kind]) + data
    return ":" + body.hex().upper() + "%02X" % (-sum(body) & 0xFF)


def firmware():
    program = [record(0, 4, b"\x00\x00"), record(0, 0, bytes(range(16))), record(0x10, 0, b"\x12\x34\x56"),
               record(0, 5, b"\x00\x00\x01\x00"), record(0, 1, b"")]
    return {
        "program": ("\r\n".join(program) + "\r\n").encode(),
        "lower-case": "\n".join(line.lower() for line in program).encode(),
        "bad-checksum": (program[1][:-2] + "00\n" + program[-1]).encode(),
        "after-end": ("\n".join(program) + "\n:00\n").encode(),
        "short": b":0400000",
    }


def window():
    # The same blocks, after the byte that says whether an upload waits.
    return {name: bytes([1 if name == "upload-end" else 0]) + data for name, data in dispatch().items()}


def parameter_files():
    def document(parameters, **fields):
        root = {"format": "Tavrin Manager parameters", "version": 1, "saved": "2026-12-08T12:00:00",
                "release": "16", "serialNumber": "1523-0042", "defaultBank": 2, "frequencyMode": 1,
                "parameters": parameters}
        root.update(fields)
        return json.dumps(root, indent=4).encode()
    values = {"bank1.flicker.red": 100, "bank2.clash.green": 255, "calibration.vertical": 3}
    return {
        "file": document(values),
        "no-bank": document(values, defaultBank=None),
        "text-value": document({"bank1.flicker.red": "12a"}),
        "unknown-key": document({"bank9.hum.blue": 1}),
        "other-version": document(values, version=2),
    }


def journals():
    entry = {"file": "Hum.wav", "sha256": "ab" * 32, "written": "2026-12-08T12:00:00Z"}
    return {
        "journal": bytes([3]) + json.dumps({"serial": "1523-0042", "slots": {"0x000000": entry}}).encode(),
        "slots-not-object": bytes([0]) + b'{"serial": "1523-0042", "slots": [1, 2]}',
        "damaged": bytes([7]) + b'{"slots": {',
    }


def font_names():
    return {name: bytes([2]) + name.encode() for name in
            ("Swing_03.wav", "poweron", "Lockup 4.flac", "clash7", "swing_1_b", "HUM")}


for target, seeds in (("fuzz_dispatch", dispatch()), ("fuzz_setup_window", window()), ("fuzz_wav", sounds()),
                      ("fuzz_settings", settings()), ("fuzz_frame_parser", frames()), ("fuzz_hex", firmware()),
                      ("fuzz_parameter_file", parameter_files()), ("fuzz_slot_journal", journals()),
                      ("fuzz_font_names", font_names())):
    folder = ROOT / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (folder / f"seed-{name}").write_bytes(data)
