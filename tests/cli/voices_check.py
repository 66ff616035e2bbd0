#!/usr/bin/env python3
"""Reads a General-MIDI-ready file with mido (strict about data bytes) and
prints what a General MIDI player would make of it as one JSON object: the
programs each channel plays notes with, the highest key played, and the notes
left sounding at the end.

usage: voices_check.py FILE.mid
"""
import json
import sys

import mido


def main():
    song = mido.MidiFile(sys.argv[1], clip=False)
    program, played, sounding, high = {}, {}, {}, 0
    for track in song.tracks:
        for msg in track:
            if msg.type == "program_change":
                program[msg.channel] = msg.program
            elif msg.type == "note_on" and msg.velocity > 0:
                key = (msg.channel, msg.note)
                sounding[key] = sounding.get(key, 0) + 1
                played.setdefault(msg.channel + 1, set()).add(program.get(msg.channel, 0))
                high = max(high, msg.note) if msg.channel != 9 else high
            elif msg.type in ("note_on", "note_off"):
                key = (msg.channel, msg.note)
                sounding[key] = sounding.get(key, 0) - 1
    print(json.dumps({
        "programs": {str(ch): sorted(p) for ch, p in played.items()},
        "highest_melodic_key": high,
        "left_sounding": sum(v for v in sounding.values() if v > 0),
    }))


if __name__ == "__main__":
    main()
