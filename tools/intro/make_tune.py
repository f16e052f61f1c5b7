#!/usr/bin/env python3
"""Writes the intro's tune as an XM module: 18 channels, linear frequencies, speed 3, BPM 151.

Every sample is synthesised here and every note is placed by the rules below (a fixed random
seed keeps the build reproducible). The song runs a little over two minutes before it jumps back
to its first full section.

usage: make_tune.py OUTPUT.xm
"""
import math
import random
import struct
import sys

CHANNELS = 18
ROWS = 64
SPEED, BPM = 3, 151
RATE = 22050  # sample rate of the one-shot drums and the bell
KEY_OFF = 97

# Channels
KICK, SNARE, HAT, SHAKER, BASS, SUB, PAD1, PAD2, PAD3, ARP, LEAD, ECHO, BELL, FX, PAD4, PAD5, CRASH, BELL_ECHO = range(18)

# Instruments (1-based in the patterns)
I_KICK, I_SNARE, I_HAT, I_BASS, I_PAD, I_LEAD, I_BELL, I_ARP, I_NOISE = range(1, 10)


def note(name_octave):
    """'A-4' -> XM note number (C-0 = 1)."""
    names = ['C-', 'C#', 'D-', 'D#', 'E-', 'F-', 'F#', 'G-', 'G#', 'A-', 'A#', 'B-']
    return names.index(name_octave[:2]) + 12 * int(name_octave[2]) + 1


# --- samples -------------------------------------------------------------------------------

LOUDNESS = 1.7  # the mix has headroom to spare: every sample is this much louder


def clip16(v):
    return max(-32768, min(32767, int(round(v * LOUDNESS))))


def single_cycle(harmonics, length=128, amplitude=14000):
    """One period built from (harmonic, gain) pairs: band-limited, loops without a click."""
    values = []
    for i in range(length):
        phase = 2 * math.pi * i / length
        values.append(sum(g * math.sin(h * phase) for h, g in harmonics))
    peak = max(abs(v) for v in values)
    return [clip16(v / peak * amplitude) for v in values]


def saw_cycle():
    return single_cycle([(h, 1.0 / h) for h in range(1, 24)])


def pulse_cycle(width):
    return single_cycle([(h, math.sin(math.pi * h * width) / h) for h in range(1, 24)])


def kick():
    out, phase = [], 0.0
    for i in range(int(RATE * 0.35)):
        t = i / RATE
        freq = 45 + 110 * math.exp(-t * 28)
        phase += 2 * math.pi * freq / RATE
        out.append(clip16(26000 * math.sin(phase) * math.exp(-t * 9)))
    return out


def snare(rng):
    out = []
    for i in range(int(RATE * 0.25)):
        t = i / RATE
        tone = math.sin(2 * math.pi * 185 * t) * math.exp(-t * 30)
        noise = (rng.random() * 2 - 1) * math.exp(-t * 16)
        out.append(clip16(15000 * (0.5 * tone + 0.8 * noise)))
    return out


def hat(rng):
    out, previous = [], 0.0
    for i in range(int(RATE * 0.09)):
        t = i / RATE
        white = rng.random() * 2 - 1
        out.append(clip16(12000 * (white - previous) * 0.5 * math.exp(-t * 45)))
        previous = white
    return out


def bell():
    out = []
    for i in range(int(RATE * 0.8)):
        t = i / RATE
        f = 523.25
        mod = 2.0 * math.exp(-t * 6) * math.sin(2 * math.pi * f * 3.5 * t)
        out.append(clip16(13000 * math.sin(2 * math.pi * f * t + mod) * math.exp(-t * 4.5)))
    return out


def pad_wave():
    """Three slightly detuned saws over a long stretch, played with a ping-pong loop."""
    length, base = 6000, 8363.0 / 64  # the C of this sample, one octave below the saw cycles
    out = []
    for i in range(length):
        t = i / 8363.0
        v = 0.0
        for detune in (1.0, 1.0045, 0.9962):
            f = base * 2 * detune
            for h in range(1, 10):
                v += math.sin(2 * math.pi * f * h * t) / h
        out.append(v)
    peak = max(abs(v) for v in out)
    return [clip16(v / peak * 12000) for v in out]


def noise_sweep(rng):
    out, low = [], 0.0
    for i in range(int(RATE * 1.2)):
        t = i / RATE
        low += (rng.random() * 2 - 1 - low) * (0.05 + 0.6 * t / 1.2)
        out.append(clip16(11000 * low * math.exp(-t * 2.2)))
    return out


def tuning(sample_rate):
    """Relative note and finetune that make C-4 play a sample recorded at this rate."""
    semitones = 12 * math.log2(sample_rate / 8363.0)
    relative = int(round(semitones))
    return relative, int(round((semitones - relative) * 128))


class Sample:
    def __init__(self, values, loop=0, loop_start=0, loop_length=0, volume=64, pan=128,
                 relative=0, finetune=0, eight_bit=False):
        self.values, self.loop = values, loop
        self.loop_start, self.loop_length = loop_start, loop_length
        self.volume, self.pan, self.relative, self.finetune = volume, pan, relative, finetune
        self.eight_bit = eight_bit


class Instrument:
    def __init__(self, name, sample, envelope=None, sustain=None, loop=None, fadeout=0,
                 vibrato=(0, 0, 0, 0), pan_envelope=None):
        self.name, self.sample = name, sample
        self.envelope, self.sustain, self.loop = envelope or [], sustain, loop
        self.fadeout, self.vibrato, self.pan_envelope = fadeout, vibrato, pan_envelope or []


def instruments():
    rng = random.Random(102)
    drum_rel, drum_fine = tuning(RATE)
    cycle_rel = 24  # 128-sample cycles sound two octaves low at their note
    saw = saw_cycle()
    return [
        Instrument('kick', Sample(kick(), relative=drum_rel, finetune=drum_fine, eight_bit=True)),
        Instrument('snare', Sample(snare(rng), relative=drum_rel, finetune=drum_fine)),
        Instrument('hat', Sample(hat(rng), relative=drum_rel, finetune=drum_fine, eight_bit=True)),
        Instrument('bass', Sample(saw, loop=1, loop_length=128, relative=cycle_rel - 12),
                   envelope=[(0, 0), (2, 64), (10, 44), (40, 36), (70, 0)], sustain=3, fadeout=0x300),
        Instrument('pad', Sample(pad_wave(), loop=2, loop_start=1200, loop_length=4600),
                   envelope=[(0, 0), (24, 56), (48, 44), (64, 52), (80, 44), (140, 0)],
                   sustain=2, loop=(2, 4), fadeout=0x80, vibrato=(0, 40, 3, 6),
                   pan_envelope=[(0, 32), (60, 20), (120, 44), (180, 32)]),
        Instrument('lead', Sample(pulse_cycle(0.25), loop=1, loop_length=128, relative=cycle_rel),
                   envelope=[(0, 0), (1, 60), (8, 48), (30, 40), (60, 0)], sustain=3, fadeout=0x200,
                   vibrato=(0, 24, 4, 10)),
        Instrument('bell', Sample(bell(), relative=tuning(RATE)[0] - 12, finetune=tuning(RATE)[1]),
                   envelope=[(0, 64), (40, 30), (120, 0)], fadeout=0x100),
        Instrument('arp', Sample(pulse_cycle(0.5), loop=1, loop_length=128, relative=cycle_rel),
                   envelope=[(0, 64), (3, 40), (6, 52), (9, 36), (30, 0)], loop=(1, 3), sustain=None,
                   fadeout=0x400, vibrato=(1, 0, 2, 20)),
        Instrument('noise', Sample(noise_sweep(rng), relative=drum_rel, finetune=drum_fine)),
    ]


# --- patterns ------------------------------------------------------------------------------

class Pattern:
    def __init__(self):
        self.cells = [[[0, 0, 0, 0, 0] for _ in range(CHANNELS)] for _ in range(ROWS)]

    def put(self, row, channel, n=0, ins=0, vol=0, fx=0, param=0):
        if 0 <= row < ROWS:
            self.cells[row][channel] = [n, ins, vol, fx, param]

    def effect(self, row, channel, fx, param):
        if 0 <= row < ROWS:
            self.cells[row][channel][3:5] = [fx, param]

    def volume(self, row, channel, vol):
        if 0 <= row < ROWS:
            self.cells[row][channel][2] = vol


# Two bars of 32 rows per pattern; the chords of an eight-bar round in A minor.
ROUND = [('A-2', [0, 3, 7]), ('F-2', [0, 4, 7]), ('C-3', [0, 4, 7]), ('G-2', [0, 4, 7]),
         ('A-2', [0, 3, 7]), ('F-2', [0, 4, 7]), ('G-2', [0, 4, 7]), ('E-2', [0, 4, 7])]
SCALE = [0, 2, 3, 5, 7, 8, 10]  # A natural minor, from A


def chord_of(bar):
    root, shape = ROUND[bar % len(ROUND)]
    return note(root), shape


def drums(p, rng, busy):
    for bar in range(2):
        b = bar * 32
        for beat in range(4):
            p.put(b + beat * 8, KICK, note('C-4'), I_KICK, 0x50 if beat == 0 else 0x48)
        if busy:
            p.put(b + 20, KICK, note('C-4'), I_KICK, 0x38)
        p.put(b + 8, SNARE, note('C-4'), I_SNARE, 0x40)
        p.put(b + 24, SNARE, note('C-4'), I_SNARE, 0x44, 9, 0x02 if bar else 0)  # a later start
        for step in range(8):
            row = b + step * 4 + 2
            p.put(row, HAT, note('C-4'), I_HAT, 0x28 + (8 if step % 2 else 0), 8, 0x60 if step % 2 else 0xA0)
            if busy and step % 4 == 3:
                p.effect(row, HAT, 0x0E, 0x92)  # a quick roll
        p.effect(b + 30, HAT, 0x0E, 0xC1)  # cut short
        if busy:
            p.put(b + 12, SHAKER, note('C-5'), I_HAT, 0x20, 27, 0x13 if bar else 0x52)


def bass(p, bar0, rng, octave_up=False):
    for bar in range(2):
        root, _ = chord_of(bar0 + bar)
        b = bar * 32
        pattern = [0, 6, 8, 14, 16, 22, 24, 28]
        for k, step in enumerate(pattern):
            n = root + (12 if octave_up else 0) + (12 if k % 4 == 3 else 0)
            p.put(b + step, BASS, n, I_BASS, 0x30 if k % 2 else 0x38)
        p.put(b + 31, BASS, KEY_OFF)
        p.put(b, SUB, root, I_BASS, 0, 12, 0x28)
        p.put(b + 16, SUB, root + 7, 0, 0, 3, 0x20)  # glide up a fifth
        p.put(b + 24, SUB, 0, 0, 0, 5, 0x02)  # and on, fading


def pads(p, bar0, fx_tremolo=False, level=0x26):
    for bar in range(2):
        root, shape = chord_of(bar0 + bar)
        b = bar * 32
        for channel, interval in zip((PAD1, PAD2, PAD3), shape):
            p.put(b, channel, root + 12 + interval, I_PAD, level)
        p.put(b, PAD4, root + 24, I_PAD, level - 8, 8, 0x40)
        p.put(b, PAD5, root + 19, I_PAD, level - 8, 8, 0xC0)
        if fx_tremolo:
            p.effect(b + 4, PAD1, 7, 0x46)
            p.effect(b + 5, PAD1, 7, 0)
            p.volume(b + 8, PAD2, 0xA4)  # volume column vibrato speed
            p.volume(b + 9, PAD2, 0xB3)  # and depth
        p.put(b + 30, PAD3, 0, 0, 0, 6, 0x02)  # vibrato while it fades
        p.effect(b + 24, PAD4, 21, 40)  # envelope position
        p.volume(b + 20, PAD5, 0xD4)  # pan slide left


def arpeggio(p, bar0, rng, style):
    for bar in range(2):
        root, shape = chord_of(bar0 + bar)
        b = bar * 32
        if style == 'held':
            p.put(b, ARP, root + 24, I_ARP, 0x22, 0, shape[1] << 4 | shape[2])
            for r in range(b + 1, b + 32):
                p.effect(r, ARP, 0, shape[1] << 4 | shape[2])
        elif style == 'tremor':
            p.put(b, ARP, root + 24, I_ARP, 0x24, 29, 0x21)
            for r in range(b + 1, b + 16):
                p.effect(r, ARP, 29, 0)
        else:
            tones = [root + 24 + i for i in shape] + [root + 36]
            for step in range(16):
                p.put(b + step * 2, ARP, tones[(step * (3 if style == 'skip' else 1)) % 4], I_ARP,
                      0x18 + (step % 4) * 2)


def melody(p, bar0, rng, variation):
    """A phrase on the lead channel with its echo a few ticks behind on the next channel."""
    row = 0
    previous = None
    while row < ROWS:
        bar = bar0 + row // 32
        root, shape = chord_of(bar)
        if row % 8 == 0 or rng.random() < 0.5:
            tone = root + 24 + rng.choice(shape + [12]) if rng.random() < 0.7 else \
                note('A-4') + rng.choice(SCALE) + (12 if variation else 0)
        else:
            tone = previous or root + 24
        length = rng.choice([4, 8, 8, 12, 16] if variation else [8, 8, 16])
        if previous and abs(tone - previous) <= 5 and rng.random() < 0.35:
            p.put(row, LEAD, tone, I_LEAD, 0, 3, 0x18)  # slide into it
        else:
            p.put(row, LEAD, tone, I_LEAD, 0x30 + rng.randrange(0, 12))
        if length >= 12:
            p.effect(row + 4, LEAD, 4, 0x46)
            p.effect(row + 5, LEAD, 4, 0)
            p.effect(row + 6, LEAD, 4, 0)
        if rng.random() < 0.25:
            p.effect(row + length - 2, LEAD, 20, 0)  # key off before the next note
        echo_delay = 0xD2 if variation else 0xD1
        p.put(row + 2, ECHO, tone, I_LEAD, 0x18, 0x0E, echo_delay)
        p.effect(row + 3, ECHO, 0x0E, 0xB2)
        previous = tone
        row += length
    p.put(ROWS - 1, LEAD, 0, 0, 0x64)  # fade on the volume column
    p.effect(ROWS - 1, ECHO, 0x0A, 0x04)


def bells(p, bar0, rng):
    for bar in range(2):
        root, shape = chord_of(bar0 + bar)
        b = bar * 32
        for step in (0, 6, 12, 20):
            tone = root + 36 + rng.choice(shape)
            p.put(b + step, BELL, tone, I_BELL, 0x28, 10, 0x01)
            p.volume(b + step + 1, BELL, 0xC8)
            p.put(b + step + 3, BELL_ECHO, tone + 12, I_BELL, 0x12, 8, 0x30 + rng.randrange(0, 160))


def sweep(p, rng, up=True):
    p.put(0, FX, note('C-4'), I_LEAD, 0x14, 1 if up else 2, 0x08)
    for r in range(1, 16):
        p.effect(r, FX, 1 if up else 2, 0)
    p.effect(16, FX, 0x0E, 0x12 if up else 0x22)
    p.effect(17, FX, 33, 0x14 if up else 0x24)
    p.effect(18, FX, 33, 0x10 if up else 0x20)
    p.put(20, FX, KEY_OFF)
    p.put(32, FX, note('E-5'), I_LEAD, 0x10, 0x0E, 0xA2)
    p.volume(33, FX, 0x7A)
    p.volume(34, FX, 0x92)
    p.volume(35, FX, 0x84)
    p.volume(36, FX, 0xE8)
    p.put(40, FX, note('A-5'), 0, 0xF4)  # tone portamento from the volume column
    p.put(48, FX, 0, 0, 0, 0x0E, 0xC2)  # cut on the last tick of the row (speed 3)
    p.put(50, FX, KEY_OFF)


def crash(p):
    p.put(0, CRASH, note('C-4'), I_NOISE, 0x30, 25, 0x0F)
    for r in range(1, 12):
        p.effect(r, CRASH, 25, 0)


def make_patterns():
    rng = random.Random(151)
    sections = [('intro', 4), ('a', 8), ('b', 8), ('break', 4), ('c', 8), ('d', 4), ('outro', 4)]
    patterns = []
    bar = 0
    for name, count in sections:
        for k in range(count):
            p = Pattern()
            first = not patterns
            if first:
                p.effect(0, KICK, 15, SPEED)
                p.effect(0, SNARE, 15, BPM)
                p.effect(0, HAT, 16, 0x18)  # global volume low, then up
                for r in range(1, 40):
                    p.effect(r, HAT, 17, 0x20)
            if name == 'intro':
                pads(p, bar, level=0x20 + 4 * k)
                if k >= 2:
                    drums(p, rng, busy=False)
                    p.put(0, HAT, 0, 0, 0x20, 0x0E, 0x60 if k == 2 else 0)
                if k == 2:
                    p.effect(15, HAT, 0x0E, 0x61)  # play the first 16 rows twice
                if k == 3:
                    sweep(p, rng, up=True)
            elif name in ('a', 'b', 'c', 'd'):
                drums(p, rng, busy=name in ('c', 'd') or k % 4 == 3)
                bass(p, bar, rng, octave_up=name == 'd')
                pads(p, bar, fx_tremolo=name == 'c' and k % 2 == 1)
                arpeggio(p, bar, rng, 'tremor' if name == 'd' else 'skip' if k % 2 else 'run')
                if name in ('b', 'c', 'd'):
                    melody(p, bar, rng, variation=name != 'b')
                if name == 'c':
                    bells(p, bar, rng)
                if k == 0:
                    crash(p)
                if k == count - 1:
                    sweep(p, rng, up=name != 'c')
            elif name == 'break':
                pads(p, bar, fx_tremolo=True, level=0x2C)
                arpeggio(p, bar, rng, 'held')
                bells(p, bar, rng)
                if k == count - 1:
                    p.effect(62, KICK, 0x0E, 0xE2)  # hold the last row a moment
                    p.effect(63, KICK, 13, 0)
            else:  # outro: the round once more, thinning out, then back to the first section
                drums(p, rng, busy=False)
                bass(p, bar, rng)
                pads(p, bar)
                arpeggio(p, bar, rng, 'held' if k % 2 else 'run')
                if k == count - 1:
                    p.effect(63, KICK, 11, 4)  # jump back to section a
            patterns.append(p)
            bar += 2
    return patterns


# --- file ----------------------------------------------------------------------------------

def pack(pattern):
    out = bytearray()
    for row in pattern.cells:
        for cell in row:
            if all(cell):
                out += bytes(cell)
            else:
                mask = 0x80
                for i, v in enumerate(cell):
                    if v:
                        mask |= 1 << i
                out.append(mask)
                out += bytes(v for v in cell if v)
    return bytes(out)


def envelope_block(points):
    data = b''.join(struct.pack('<HH', x, y) for x, y in points)
    return data + bytes(48 - len(data))


def instrument_bytes(ins):
    s = ins.sample
    header = bytearray()
    header += struct.pack('<I', 263) + ins.name.encode().ljust(22, b'\0') + b'\0' + struct.pack('<H', 1)
    header += struct.pack('<I', 40) + bytes(96)
    header += envelope_block(ins.envelope) + envelope_block(ins.pan_envelope)
    volume_type = (1 if ins.envelope else 0) | (2 if ins.sustain is not None else 0) | (4 if ins.loop else 0)
    pan_type = 1 if ins.pan_envelope else 0
    loop_start, loop_end = ins.loop or (0, 0)
    header += bytes([len(ins.envelope), len(ins.pan_envelope), ins.sustain or 0, loop_start, loop_end,
                     0, 0, 0, volume_type, pan_type]) + bytes(ins.vibrato)
    header += struct.pack('<H', ins.fadeout) + bytes(22)
    assert len(header) == 263, len(header)
    width = 1 if s.eight_bit else 2
    header += struct.pack('<III', len(s.values) * width, s.loop_start * width, s.loop_length * width)
    header += struct.pack('<BbBBb', s.volume, s.finetune, s.loop | (0 if s.eight_bit else 16), s.pan, s.relative)
    header += b'\0' + ins.name.encode().ljust(22, b'\0')
    previous, data = 0, bytearray()
    for v in s.values:
        if s.eight_bit:
            v8 = v >> 8
            data += struct.pack('<b', ((v8 - previous + 128) % 256) - 128)
            previous = v8
        else:
            data += struct.pack('<h', ((v - previous + 32768) % 65536) - 32768)
            previous = v
    return bytes(header) + bytes(data)


def module():
    patterns = make_patterns()
    inst = instruments()
    out = bytearray(b'Extended Module: ' + b'The Keeper of the Light'[:20].ljust(20, b' ') + b'\x1a')
    out += b'wordgame intro tools'.ljust(20, b' ') + struct.pack('<H', 0x0104)
    orders = bytes(range(len(patterns)))
    out += struct.pack('<IHHHHHHHH', 276, len(orders), 4, CHANNELS, len(patterns), len(inst), 1, SPEED, BPM)
    out += orders.ljust(256, b'\0')
    for p in patterns:
        packed = pack(p)
        out += struct.pack('<IBHH', 9, 0, ROWS, len(packed)) + packed
    for ins in inst:
        out += instrument_bytes(ins)
    return bytes(out)


if __name__ == '__main__':
    with open(sys.argv[1], 'wb') as f:
        f.write(module())
