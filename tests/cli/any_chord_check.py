#!/usr/bin/env python3
"""Assembles every section of a style over a spread of chords with
vambrio-cli assemble --chord and checks each file with mido against the
classic assembly of the same section: every message but the notes is the
same, the notes keep their times and channels, the drums keep their notes,
and the channels whose rule takes the chord table sound only chord tones.

usage: any_chord_check.py VAMBRIO_CLI STYLE
"""
import os
import subprocess
import sys
import tempfile

import mido

# The chord types and their tones, as "vambrio-cli chords" lists them.
TYPES = {}


def read_types(cli):
    out = subprocess.run([cli, "chords", "--json"], capture_output=True, text=True, check=True).stdout
    import json
    for t in json.loads(out):
        TYPES[t["name"]] = t["tones"]


ROOTS = ["C", "Db", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"]


def chord_table_channels(data):
    """Per section name, the channels whose Ctab entry takes the chord table (2)."""
    tables = {}
    pos = data.index(b"CASM", 22 + int.from_bytes(data[18:22], "big")) + 8
    names = []
    while pos + 8 <= len(data):
        cid, length = data[pos:pos + 4], int.from_bytes(data[pos + 4:pos + 8], "big")
        if cid == b"CSEG":
            pos += 8
            continue
        body = data[pos + 8:pos + 8 + length]
        if cid == b"Sdec":
            names = [n.strip() for n in body.decode("latin-1").split(",")]
        elif cid == b"Ctab":
            for name in names:
                tables.setdefault(name, {})[body[0]] = body[21] == 2
        pos += 8 + length
    return {name: {ch for ch, chord in entries.items() if chord} for name, entries in tables.items()}


def sections(cli, style):
    import json
    out = subprocess.run([cli, "info", "--json", style], capture_output=True, text=True, check=True).stdout
    return json.loads(out)["sections"]


def messages(path):
    midi = mido.MidiFile(path)
    assert len(midi.tracks) == 1
    return list(midi.tracks[0])


def check(classic, any_, chord_tones, root, chord_channels, label, failures):
    if len(classic) != len(any_):
        failures.append(f"{label}: {len(any_)} messages, {len(classic)} in the classic file")
        return 0
    notes = 0
    for a, b in zip(classic, any_):
        if a.type in ("note_on", "note_off"):
            notes += 1
            if b.type != a.type or b.time != a.time or b.channel != a.channel:
                failures.append(f"{label}: {b} where the classic file has {a}")
            elif a.channel == 9 and (a.note, a.velocity) != (b.note, b.velocity):
                failures.append(f"{label}: a drum note moved: {b} for {a}")
            elif a.channel in chord_channels and b.type == "note_on" and b.velocity > 0 \
                    and (b.note - root) % 12 not in chord_tones:
                failures.append(f"{label}: {b.note} is no chord tone")
        elif a != b:
            failures.append(f"{label}: {b} where the classic file has {a}")
    return notes


def main():
    cli, style = sys.argv[1], sys.argv[2]
    read_types(cli)
    data = open(style, "rb").read()
    chord_channels = chord_table_channels(data)
    # Chords of many kinds, none of them the recorded C (over which every note plays as written).
    chords = [(2, "m7", ""), (10, "", ""), (6, "m7b5", ""), (3, "dim7", ""), (9, "7(b9)", ""), (4, "7sus4", ""),
              (8, "aug", ""), (7, "m6", ""), (11, "1+5", ""), (1, "6(9)", ""), (5, "", "A"), (10, "m7", "Ab")]
    failures, runs, notes = [], 0, 0
    with tempfile.TemporaryDirectory() as tmp:
        for section in sections(cli, style):
            classic_path = os.path.join(tmp, "classic.mid")
            subprocess.run([cli, "assemble", style, section, "-o", classic_path], check=True)
            classic = messages(classic_path)
            for root, type_name, bass in chords:
                name = ROOTS[root] + type_name + ("/" + bass if bass else "")
                path = os.path.join(tmp, "any.mid")
                r = subprocess.run([cli, "assemble", style, section, "--chord", name, "-o", path],
                                   capture_output=True, text=True)
                runs += 1
                if r.returncode != 0:
                    failures.append(f"{section} {name}: exit status {r.returncode}: {r.stderr.strip()}")
                    continue
                csv = subprocess.run(["midicsv", path], capture_output=True, text=True)
                if csv.returncode != 0:
                    failures.append(f"{section} {name}: midicsv failed: {csv.stderr.strip()}")
                notes += check(classic, messages(path), set(TYPES[type_name]), root,
                               chord_channels.get(section, set()), f"{section} {name}", failures)
    if runs < 6 * len(chords) or notes == 0 or not any(chord_channels.values()):
        failures.append(f"only {runs} assemblies, {notes} notes, chord channels {chord_channels}")
    for f in failures[:20]:
        print(f)
    print(f"{runs} assemblies over any chord, {notes} notes checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
