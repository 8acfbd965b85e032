#!/usr/bin/env python3
"""The simulated synthesizer's memory (a 0x4C dump, as synth-memory.syx) slot by slot, for the
VM checks:

    synth_memory.py put BANK.syx SLOT PROGRAM.syx [INDEX] OUT.syx
        OUT = BANK with SLOT (A01-H16) holding the program of PROGRAM.syx: a one-program dump
        (0x40), or program INDEX (0-127) of a 0x4C dump
    synth_memory.py splice BANK.syx OTHER.syx FIRST COUNT OUT.syx
        OUT = BANK with slots FIRST.. (0-127) holding, in order, the first COUNT programs of
        OTHER (a 0x4C dump)
    synth_memory.py diff FIRST.syx SECOND.syx
        prints the slots that differ, "A01 C05 ...", on one line (empty when none)
"""
import sys

PROGRAM = 254


def unpack(packed):
    data = bytearray()
    for i in range(0, len(packed), 8):
        flags = packed[i]
        for k, byte in enumerate(packed[i + 1:i + 8]):
            data.append(byte | (0x80 if flags >> k & 1 else 0))
    return data


def pack(data):
    packed = bytearray()
    for i in range(0, len(data), 7):
        group = data[i:i + 7]
        packed.append(sum(1 << k for k, byte in enumerate(group) if byte & 0x80))
        packed.extend(byte & 0x7F for byte in group)
    return packed


def programs(path):
    dump = open(path, 'rb').read()
    assert dump[:2] == b'\xf0\x42' and dump[3] == 0x58 and dump[-1] == 0xF7, path
    data = unpack(dump[5:-1])
    return [bytes(data[i:i + PROGRAM]) for i in range(0, len(data) - PROGRAM + 1, PROGRAM)][:128]


def slot_number(name):
    bank, number = name[0].upper(), int(name[1:])
    assert 'A' <= bank <= 'H' and 1 <= number <= 16, name
    return (ord(bank) - ord('A')) * 16 + number - 1


def slot_name(slot):
    return '%s%02d' % ('ABCDEFGH'[slot // 16], slot % 16 + 1)


def write_bank(bank, path):
    """The 128 programs as one 0x4C dump on channel 1."""
    open(path, 'wb').write(b'\xf0\x42\x30\x58\x4c' + bytes(pack(b''.join(bank))) + b'\xf7')


def main():
    if sys.argv[1] == 'put':
        bank_file, slot, program_file = sys.argv[2:5]
        index, out_file = (int(sys.argv[5]), sys.argv[6]) if len(sys.argv) == 7 else (0, sys.argv[5])
        bank = programs(bank_file)
        assert len(bank) == 128, bank_file
        bank[slot_number(slot)] = programs(program_file)[index]
        write_bank(bank, out_file)
    elif sys.argv[1] == 'splice':
        bank_file, other_file, first, count, out_file = sys.argv[2:7]
        bank, other = programs(bank_file), programs(other_file)
        assert len(bank) == 128 and len(other) >= int(count), (bank_file, other_file)
        bank[int(first):int(first) + int(count)] = other[:int(count)]
        write_bank(bank, out_file)
    elif sys.argv[1] == 'diff':
        first, second = programs(sys.argv[2]), programs(sys.argv[3])
        print(' '.join(slot_name(i) for i in range(128) if first[i] != second[i]))
    else:
        raise SystemExit(__doc__)


main()
