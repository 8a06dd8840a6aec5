#!/usr/bin/env python3
"""Writes the alert clip, assets/sounds/alert.wav: RIFF WAVE, PCM, mono, 16000 samples per
second, 16 bits, 122567 samples (245134 bytes of samples, 245178 bytes with the header,
7.66 seconds). Three rounds of a rising three-note chime (C6, E6, G6) with soft bell
overtones, each note fading out; standard library only.

    python3 assets/make_alert.py
"""
import math
import os
import struct
import wave

RATE = 16000
SAMPLES = 245134 // 2
HERE = os.path.dirname(os.path.abspath(__file__))

NOTES = (1046.50, 1318.51, 1567.98)  # C6, E6, G6
NOTE_GAP = 0.22                      # seconds between the notes of a round
ROUND_GAP = 2.4                      # seconds between rounds
DECAY = 4.0                          # how fast a note fades (1/s)


def note(t, frequency):
    if t < 0:
        return 0.0
    attack = min(1.0, t / 0.005)     # 5 ms onset, no click
    envelope = attack * math.exp(-DECAY * t)
    tone = (math.sin(2 * math.pi * frequency * t)
            + 0.35 * math.sin(2 * math.pi * 2 * frequency * t) * math.exp(-3 * t)
            + 0.12 * math.sin(2 * math.pi * 3.01 * frequency * t) * math.exp(-6 * t))
    return envelope * tone


def main():
    starts = [r * ROUND_GAP + i * NOTE_GAP for r in range(3) for i in range(len(NOTES))]
    frequencies = [NOTES[i] for _ in range(3) for i in range(len(NOTES))]
    frames = bytearray()
    fade_out = int(0.05 * RATE)
    for n in range(SAMPLES):
        t = n / RATE
        value = sum(note(t - s, f) for s, f in zip(starts, frequencies)) * 0.28
        if n >= SAMPLES - fade_out:  # end on silence
            value *= (SAMPLES - n) / fade_out
        frames += struct.pack("<h", max(-32767, min(32767, int(value * 32767))))
    out = os.path.join(HERE, "sounds")
    os.makedirs(out, exist_ok=True)
    with wave.open(os.path.join(out, "alert.wav"), "wb") as clip:
        clip.setnchannels(1)
        clip.setsampwidth(2)
        clip.setframerate(RATE)
        clip.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
