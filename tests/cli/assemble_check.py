#!/usr/bin/env python3
"""Assembles every section of a style with vambrio-cli under several option
combinations and checks each file with readers of its own: mido and midicsv
must read it, its structure must be exact, and its notes must be the style's
notes moved as the chord rules say, computed here from the style's bytes.

usage: assemble_check.py VAMBRIO_CLI STYLE
"""
import os
import subprocess
import sys
import tempfile

import mido

BASS_RULE = [0, 0, 2, 0, 4, 4, 4, 7, 7, 9, 7, 12]
CHORD_RULE = [0, 0, 0, 0, 4, 4, 4, 7, 7, 7, 19, 12]

COMBINATIONS = [
    [],
    ["--minor"],
    ["--gm"],
    ["--gm", "--minor", "--xg-on"],
    ["--no-sysex", "--parts", "10101010"],
    ["--minor", "--parts", "01010101", "--xg-on"],
]


def varlen(data, pos):
    value = 0
    while True:
        b = data[pos]
        pos += 1
        value = (value << 7) | (b & 0x7F)
        if b < 0x80:
            return value, pos


def read_track(data):
    """The track's events: (offset, status, payload) with running status resolved."""
    end = 22 + int.from_bytes(data[18:22], "big")
    pos, status, events = 22, 0, []
    while pos < end:
        start = pos
        _, pos = varlen(data, pos)
        if data[pos] >= 0x80:
            status = data[pos]
            pos += 1
        if status == 0xFF:
            kind = data[pos]
            length, pos = varlen(data, pos + 1)
            events.append((start, status, (kind, bytes(data[pos:pos + length]))))
            pos += length
            if kind == 0x2F:
                break
        elif status in (0xF0, 0xF7):
            length, pos = varlen(data, pos)
            events.append((start, status, bytes(data[pos:pos + length])))
            pos += length
        else:
            n = 1 if status >> 4 in (0xC, 0xD) else 2
            events.append((start, status, tuple(data[pos:pos + n])))
            pos += n
    return events, end


def read_casm(data, track_end):
    """The section groups: (section-list text, [entry fields])."""
    pos = data.index(b"CASM", track_end) + 8
    groups = []
    while data[pos:pos + 4] == b"CSEG":
        pos += 8
        assert data[pos:pos + 4] == b"Sdec"
        n = int.from_bytes(data[pos + 4:pos + 8], "big")
        text = data[pos + 8:pos + 8 + n].decode("latin-1")
        pos += 8 + n
        entries = []
        while data[pos:pos + 4] in (b"Ctab", b"Cntt"):
            m = int.from_bytes(data[pos + 4:pos + 8], "big")
            if data[pos:pos + 4] == b"Ctab":
                d = data[pos + 8:pos + 8 + m]
                entries.append(dict(src=d[0], dest=d[9] + 1, minor=d[16], major=d[17], root=d[18], low=d[23], high=d[24]))
            pos += 8 + m
        groups.append((text, entries))
    return groups


def tables_for(groups, section):
    """Per channel (0..15) the entry in force for the section; the start-up values otherwise."""
    tables = {ch: dict(dest=0, minor=0, major=0, root=0, low=0, high=127) for ch in range(16)}
    for text, entries in groups:
        if text and section in text:
            for e in entries:
                tables[e["src"]] = e
    return tables


def transpose(note, t, section, minor):
    d = note - t["root"]
    base = (d // 12) * 12
    i = d - base
    if not section.startswith(("Intr", "Endi")):
        if t["dest"] in (11, 15, 16):
            i = BASS_RULE[i]
        elif t["dest"] in (12, 13, 14):
            i = CHORD_RULE[i]
            if minor and i == 4:
                i = 3
    m = base + i
    while m < t["low"]:
        m += 12
    while t["high"] != 0 and m > t["high"]:
        m -= 12
    return m


def expected_notes(events, section_range, tables, section, opts):
    minor, gm = "--minor" in opts, "--gm" in opts
    parts = [int(c) for c in (opts[opts.index("--parts") + 1] if "--parts" in opts else "11111111")]
    out = []
    for offset, status, payload in events:
        if not (section_range[0] <= offset < section_range[1]) or status >> 4 not in (8, 9):
            continue
        ch, (note, velocity) = status & 0x0F, payload
        t = tables[ch]
        if t["dest"] == 9:
            out.append((ch + 1 if gm and ch < 15 else ch, note, velocity * parts[0]))
        elif t["dest"] == 10:
            out.append((9, note, velocity * parts[1]))
        else:
            v = velocity * (parts[t["dest"] - 9] if t["dest"] >= 9 else 1)
            v *= (t["minor"] if minor else t["major"]) & 1
            out.append((ch, transpose(note, t, section, minor), v))
    return out


def check_file(path, style_division, opts, expected, failures, label):
    data = open(path, "rb").read()
    if data[:4] != b"MThd" or data[14:18] != b"MTrk" or len(data) != 22 + int.from_bytes(data[18:22], "big"):
        failures.append(f"{label}: not exactly a header chunk and one track chunk")
        return
    midi = mido.MidiFile(path)
    if len(midi.tracks) != 1 or midi.ticks_per_beat != style_division:
        failures.append(f"{label}: {len(midi.tracks)} tracks, division {midi.ticks_per_beat}")
    msgs = list(midi.tracks[0])
    if msgs[-1].type != "end_of_track" or msgs[0].time != 10:
        failures.append(f"{label}: first delta {msgs[0].time}, last event {msgs[-1].type}")
    notes = [(m.channel, m.note, m.velocity) for m in msgs if m.type in ("note_on", "note_off")]
    if notes != expected:
        diff = next(i for i in range(min(len(notes), len(expected)) + 1)
                    if i >= len(notes) or i >= len(expected) or notes[i] != expected[i])
        failures.append(f"{label}: {len(notes)} notes, {len(expected)} expected; first difference at {diff}: "
                        f"{notes[diff:diff + 3]} != {expected[diff:diff + 3]}")
    sysex = [tuple(m.data) for m in msgs if m.type == "sysex"]
    want = [] if "--no-sysex" in opts else [(0x7E, 0x7F, 0x09, 0x01 if "--gm" in opts else 0x00)]
    if "--xg-on" in opts and "--no-sysex" not in opts:
        want.insert(0, (0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00))
    elif "--xg-on" in opts:
        want = [(0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00)]
    if sysex != want:
        failures.append(f"{label}: system-exclusive events {sysex}, expected {want}")
    csv = subprocess.run(["midicsv", path], capture_output=True, text=True)
    if csv.returncode != 0 or "End_track" not in csv.stdout:
        failures.append(f"{label}: midicsv failed: {csv.stderr.strip()}")


def main():
    cli, style = sys.argv[1], sys.argv[2]
    data = open(style, "rb").read()
    events, track_end = read_track(data)
    groups = read_casm(data, track_end)
    markers = [(off, payload[1].decode("latin-1")) for off, st, payload in events if st == 0xFF and payload[0] == 6]
    sections = [(off, name) for off, name in markers if name[:4] in ("Intr", "Main", "Fill", "Endi", "Brea")]
    eot = events[-1][0]
    failures, runs, note_count = [], 0, 0
    with tempfile.TemporaryDirectory() as tmp:
        for i, (start, name) in enumerate(sections):
            section_range = (start, sections[i + 1][0] if i + 1 < len(sections) else eot)
            tables = tables_for(groups, name)
            for opts in COMBINATIONS:
                out = os.path.join(tmp, "out.mid")
                label = f"{name} {' '.join(opts) or '(defaults)'}"
                r = subprocess.run([cli, "assemble", style, name, "-o", out] + opts, capture_output=True, text=True)
                runs += 1
                if r.returncode != 0:
                    failures.append(f"{label}: exit status {r.returncode}: {r.stderr.strip()}")
                    continue
                expected = expected_notes(events, section_range, tables, name, opts)
                note_count += len(expected)
                check_file(out, int.from_bytes(data[12:14], "big"), opts, expected, failures, label)
    if len(sections) < 6 or note_count == 0:
        failures.append(f"only {len(sections)} sections and {note_count} notes")
    for f in failures:
        print(f)
    print(f"{runs} assemblies, {note_count} notes checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
