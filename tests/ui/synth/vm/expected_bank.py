#!/usr/bin/env python3
"""Writes the bank the window test builds: the programs of BANK_FILE (a 0x4C dump) with slots
FIRST.. taken, in order, from the first COUNT programs of OTHER_FILE (a 0x4C dump), as one
0x4C dump on channel 1.

    expected_bank.py BANK_FILE OTHER_FILE FIRST COUNT OUT_FILE
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
    assert dump[:2] == b'\xf0\x42' and dump[3:5] == b'\x58\x4c' and dump[-1] == 0xF7, path
    data = unpack(dump[5:-1])
    return [data[i * PROGRAM:(i + 1) * PROGRAM] for i in range(128)]


def main():
    bank_file, other_file, first, count, out_file = sys.argv[1:]
    bank = programs(bank_file)
    other = programs(other_file)
    for i in range(int(count)):
        bank[int(first) + i] = other[i]
    body = pack(b''.join(bank))
    open(out_file, 'wb').write(b'\xf0\x42\x30\x58\x4c' + bytes(body) + b'\xf7')


main()
