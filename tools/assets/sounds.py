"""The four wave sounds, synthesised: mono, unsigned 8-bit PCM.

133  11025 Hz  3.89 s  data chatter under the typing of the trace's header (a loop)
134  11025 Hz  0.67 s  the tense pulse of the number search (a loop)
136  48000 Hz  0.19 s  a key click
138  11025 Hz 16.83 s  the title music

Everything is computed in floating point from a fixed seed and quantised at the end, so the
bytes are the same on every run. The loops repeat without a seam: the search loop is built
only from components that complete a whole number of cycles within it, the chatter loop from
such a hum plus events that die away inside their own time slot.
"""

import math
import struct

TWO_PI = 2.0 * math.pi


class Random:
    """xorshift32 with a fixed seed: the only source of noise."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def uniform(self):
        """A float in [-1, 1)."""
        return self.next() / 2147483648.0 - 1.0

    def below(self, n):
        return self.next() % n


def wav_bytes(rate, samples):
    """RIFF WAVE, PCM (format 1), one channel, 8 bits per sample."""
    data = bytes(samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) & 1:
        body += b"\0"  # chunks are padded to an even length
    return b"RIFF" + struct.pack("<I", len(body)) + body


def quantise(signal, peak_level=100):
    """Scale so the loudest point lands peak_level steps from the middle, then round to
    unsigned 8-bit around 128. With peak_level below 127 no sample reaches 0 or 255."""
    peak = max(abs(v) for v in signal) or 1.0
    k = peak_level / peak
    return [128 + int(math.floor(v * k + 0.5)) for v in signal]


def sample_count(rate, seconds):
    return int(round(rate * seconds))


# ---------------------------------------------------------------------------------------------
# 136: key click

def key_click():
    rate = 48000
    n = sample_count(rate, 0.19)
    out = [0.0] * n
    rng = Random(0x1369)

    def strike(start, gain):
        # A sharp noise transient and the ring of the key's plastic and spring.
        prev = 0.0
        for i in range(0, min(n - start, int(0.06 * rate))):
            t = i / rate
            noise = rng.uniform()
            hp = noise - prev  # crude high-pass: a brighter tick
            prev = noise
            v = 0.9 * hp * math.exp(-t / 0.0007)
            v += 0.55 * math.sin(TWO_PI * 2150.0 * t) * math.exp(-t / 0.006)
            v += 0.35 * math.sin(TWO_PI * 3900.0 * t) * math.exp(-t / 0.003)
            v += 0.45 * math.sin(TWO_PI * 610.0 * t) * math.exp(-t / 0.012)
            out[start + i] += gain * v

    strike(0, 1.0)  # key down
    strike(int(0.085 * rate), 0.4)  # key up, softer
    # The very ends are silent.
    fade = int(0.004 * rate)
    for i in range(fade):
        out[n - 1 - i] *= i / fade
    return rate, quantise(out, 104)


# ---------------------------------------------------------------------------------------------
# 134: the search loop

def search_loop():
    rate = 11025
    n = sample_count(rate, 0.67)
    base = 1.0 / n  # cycles per sample of a component that completes once per loop

    def cyc(k, i):
        return TWO_PI * k * base * i

    out = []
    for i in range(n):
        # Low drone near 55 Hz, a soft sawtooth of six harmonics.
        drone = sum(math.sin(cyc(37 * h, i)) / h for h in range(1, 7)) * 0.35
        # Its slow throb: twice per loop.
        drone *= 0.75 + 0.25 * math.cos(cyc(2, i))
        # A warbling scanner tone near 880 Hz, frequency-modulated four times per loop and
        # gated into four pulses.
        gate = max(0.0, math.sin(cyc(4, i))) ** 3
        scanner = math.sin(cyc(590, i) + 6.0 * math.sin(cyc(4, i))) * gate * 0.45
        # A thin high whine a fifth above, fading in and out with the opposite phase.
        whine = math.sin(cyc(885, i)) * (max(0.0, -math.sin(cyc(4, i))) ** 4) * 0.18
        out.append(drone + scanner + whine)
    return rate, quantise(out, 96)


# ---------------------------------------------------------------------------------------------
# 133: the data chatter loop

def data_loop():
    rate = 11025
    n = sample_count(rate, 3.89)
    base = 1.0 / n
    out = [0.0] * n
    # A faint carrier hum near 120 Hz with a slow swell (whole cycles per loop).
    for i in range(n):
        swell = 0.8 + 0.2 * math.sin(TWO_PI * 6 * base * i)
        out[i] = 0.07 * swell * (math.sin(TWO_PI * 467 * base * i) + 0.4 * math.sin(TWO_PI * 934 * base * i))

    rng = Random(0x133)
    slots = 56
    LEAD = 12  # samples of hum alone at the start of each slot
    pitches = (740.0, 988.0, 1175.0, 1480.0, 1976.0, 2349.0)
    for s in range(slots):
        start = s * n // slots
        length = (s + 1) * n // slots - start
        if rng.below(100) < 18:
            continue  # a pause in the stream
        # A short data blip: a square-ish burst, sometimes two pitches in a row.
        parts = 1 + (rng.below(100) < 35)
        dur = min(length - 2 * LEAD, int(rate * (0.018 + 0.004 * rng.below(8))))
        piece = dur // parts
        for p in range(parts):
            f = pitches[rng.below(len(pitches))]
            gain = 0.35 + 0.05 * rng.below(5)
            for i in range(piece):
                t = i / rate
                env = min(1.0, i / 20.0) * min(1.0, (piece - i) / 40.0)
                v = math.sin(TWO_PI * f * t) + 0.3 * math.sin(TWO_PI * 3 * f * t)
                out[start + LEAD + p * piece + i] += gain * env * v
        # A mechanical tick at the start of the slot, eased in over a few samples so that
        # the loop's first sample stays on the quiet hum.
        prev = 0.0
        for i in range(40):
            noise = rng.uniform()
            out[start + LEAD + i] += 0.5 * min(1.0, i / 4.0) * (noise - prev) * math.exp(-i / 8.0)
            prev = noise
    return rate, quantise(out, 96)


# ---------------------------------------------------------------------------------------------
# 138: the title music

def _midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


BEAT = 0.5  # seconds; 120 beats a minute
# Chords per bar (roots and chord tones as MIDI notes): Am F C G Am F E Am.
CHORDS = [
    (45, (57, 60, 64)), (41, (57, 60, 65)), (48, (55, 60, 64)), (43, (55, 59, 62)),
    (45, (57, 60, 64)), (41, (57, 60, 65)), (40, (56, 59, 64)), (45, (57, 60, 64)),
]
# Melody: (bar, beat, length in beats, note).
MELODY = [
    (2, 0, 1.5, 76), (2, 1.5, 0.5, 74), (2, 2, 1, 72), (2, 3, 1, 67),
    (3, 0, 1, 71), (3, 1, 1, 74), (3, 2, 1.5, 79), (3, 3.5, 0.5, 77),
    (4, 0, 1.5, 76), (4, 1.5, 0.5, 72), (4, 2, 1, 69), (4, 3, 1, 76),
    (5, 0, 1, 77), (5, 1, 1, 81), (5, 2, 0.5, 79), (5, 2.5, 0.5, 77), (5, 3, 0.5, 76), (5, 3.5, 0.5, 74),
    (6, 0, 1, 71), (6, 1, 0.5, 74), (6, 1.5, 0.5, 76), (6, 2, 1, 68), (6, 3, 1, 71),
    (7, 0, 4.8, 69),
]


def title_music():
    rate = 11025
    n = sample_count(rate, 16.83)
    mix = [0.0] * n
    lead = [0.0] * n
    rng = Random(0x138)

    def add_tone(buf, start_s, dur_s, freq, harmonics, gain, attack, release, decay=None, vibrato=0.0):
        start = int(start_s * rate)
        length = int(dur_s * rate)
        tail = int(release * rate)
        phase = 0.0
        for i in range(min(length + tail, n - start)):
            t = i / rate
            if i < length:
                env = min(1.0, t / attack)
                if decay:
                    env *= math.exp(-t / decay)
            else:
                env_end = min(1.0, length / rate / attack)
                if decay:
                    env_end *= math.exp(-length / rate / decay)
                env = env_end * (1.0 - (i - length) / tail)
            f = freq * (1.0 + vibrato * math.sin(TWO_PI * 5.5 * t) * min(1.0, t / 0.3))
            phase += TWO_PI * f / rate
            v = 0.0
            for h, a in harmonics:
                v += a * math.sin(h * phase)
            buf[start + i] += gain * env * v

    square = [(1, 1.0), (3, 0.30), (5, 0.13), (7, 0.06)]
    saw = [(1, 1.0), (2, 0.45), (3, 0.25), (4, 0.12), (5, 0.06)]
    bell = [(1, 1.0), (2, 0.25), (4, 0.08)]

    bars = len(CHORDS)
    for bar, (root, tones) in enumerate(CHORDS):
        t0 = bar * 4 * BEAT
        last = bar == bars - 1
        # Bass: pulsing eighths on the root and its octave; the last bar holds the root.
        if last:
            add_tone(mix, t0, 2.6, _midi_hz(root), saw, 0.42, 0.01, 0.2, decay=1.2)
        else:
            for e in range(8):
                note = root + (12 if e % 2 else 0)
                add_tone(mix, t0 + e * BEAT / 2, BEAT / 2 - 0.03, _midi_hz(note), saw, 0.36, 0.005, 0.02, decay=0.18)
        # Arpeggio: sixteenths over the chord, up and down, an octave up.
        pattern = [0, 1, 2, 1] if not last else [0, 1, 2]
        steps = 16 if not last else 6
        for s in range(steps):
            note = tones[pattern[s % len(pattern)]] + 12
            add_tone(mix, t0 + s * BEAT / 4, BEAT / 4 - 0.01, _midi_hz(note), bell, 0.12, 0.003, 0.03, decay=0.09)
        # A soft pad under everything.
        for note in tones:
            add_tone(mix, t0, 4 * BEAT if not last else 2.4, _midi_hz(note), [(1, 1.0), (2, 0.1)], 0.06, 0.4, 0.4)

    for bar, beat, length, note in MELODY:
        add_tone(lead, (bar * 4 + beat) * BEAT, length * BEAT - 0.04, _midi_hz(note), square, 0.30, 0.01, 0.06,
                 vibrato=0.006)

    # Echo on the lead: three quarters of a beat, fading repeats.
    delay = int(0.75 * BEAT * rate)
    for i in range(delay, n):
        lead[i] += 0.33 * lead[i - delay]
    for i in range(n):
        mix[i] += lead[i]

    # Percussion: kick on 1 and 3, snare on 2 and 4, closed hats on eighths, from bar 2.
    def kick(at):
        start = int(at * rate)
        phase = 0.0
        for i in range(min(int(0.16 * rate), n - start)):
            t = i / rate
            f = 48.0 + 110.0 * math.exp(-t / 0.025)
            phase += TWO_PI * f / rate
            mix[start + i] += 0.65 * math.sin(phase) * math.exp(-t / 0.06)

    def snare(at):
        start = int(at * rate)
        for i in range(min(int(0.14 * rate), n - start)):
            t = i / rate
            mix[start + i] += (0.30 * rng.uniform() + 0.18 * math.sin(TWO_PI * 185.0 * t)) * math.exp(-t / 0.045)

    def hat(at, gain):
        start = int(at * rate)
        prev = 0.0
        for i in range(min(int(0.05 * rate), n - start)):
            noise = rng.uniform()
            mix[start + i] += gain * (noise - prev) * math.exp(-i / rate / 0.012)
            prev = noise

    for bar in range(1, bars - 1):
        t0 = bar * 4 * BEAT
        for beat in range(4):
            if bar >= 2:
                (kick if beat % 2 == 0 else snare)(t0 + beat * BEAT)
            elif beat % 2 == 0:
                kick(t0 + beat * BEAT)
            for half in range(2):
                hat(t0 + (beat + half / 2) * BEAT, 0.10 if half else 0.14)
    kick((bars - 1) * 4 * BEAT)  # the last downbeat

    # Overall envelope: a gentle fade-in and a fade-out that reaches silence at the end.
    fade_in = int(1.2 * rate)
    fade_out = int(1.8 * rate)
    for i in range(fade_in):
        mix[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_in)
    for i in range(fade_out):
        mix[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_out)
    # Gentle saturation lifts the quieter passages against the kick's peaks.
    peak = max(abs(v) for v in mix)
    drive = 1.8
    mix = [math.tanh(drive * v / peak) for v in mix]
    return rate, quantise(mix, 100)


SOUNDS = {
    "sound133.wav": data_loop,
    "sound134.wav": search_loop,
    "sound136.wav": key_click,
    "sound138.wav": title_music,
}


def build():
    return {name: wav_bytes(*make()) for name, make in SOUNDS.items()}
