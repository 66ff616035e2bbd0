#!/usr/bin/env python3
"""Arranges the demo chart with vambrio-cli and reads the song with readers of
its own: mido (strict about data bytes) and midicsv must read it without a
word of complaint, and both must see every note on ended by a note off, a
marker per chart section and End of Track after the last note off.

usage: arrange_check.py VAMBRIO_CLI STYLE CHART
"""
import subprocess
import sys
import tempfile

import mido


def main():
    cli, style, chart = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as tmp:
        out = f"{tmp}/song.mid"
        subprocess.run([cli, "arrange", style, chart, "-o", out], check=True, capture_output=True)

        song = mido.MidiFile(out, clip=False)
        assert song.type == 0 and len(song.tracks) == 1, "not a single-track format 0 file"
        sounding, tick, markers, last_off = {}, 0, [], 0
        for msg in song.tracks[0]:
            tick += msg.time
            if msg.type == "note_on" and msg.velocity > 0:
                sounding[(msg.channel, msg.note)] = sounding.get((msg.channel, msg.note), 0) + 1
            elif msg.type in ("note_off", "note_on"):
                sounding[(msg.channel, msg.note)] -= 1
                last_off = tick
            elif msg.type == "marker":
                markers.append(msg.text)
            elif msg.type == "end_of_track":
                assert tick >= last_off, "End of Track before the last note off"
        assert all(v == 0 for v in sounding.values()), f"hanging notes: {sounding}"
        assert markers == ["Intro A", "Main A", "Fill In AA", "Main B", "Fill In BB", "Main A", "Ending A"], markers

        csv = subprocess.run(["midicsv", "-v", out], capture_output=True, text=True)
        assert csv.returncode == 0, csv.stderr
        complaints = [line for line in csv.stderr.splitlines() if "rror" in line or "arning" in line]
        assert not complaints, complaints
        ons = sum(1 for line in csv.stdout.splitlines() if ", Note_on_c," in line and not line.endswith(", 0"))
        offs = sum(1 for line in csv.stdout.splitlines() if ", Note_off_c," in line or
                   (", Note_on_c," in line and line.endswith(", 0")))
        assert ons == offs and ons > 500, (ons, offs)
    print("the demo song reads cleanly with mido and midicsv")


if __name__ == "__main__":
    main()
