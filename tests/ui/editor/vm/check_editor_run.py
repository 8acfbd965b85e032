#!/usr/bin/env python3
"""Checks the Program Editor's run in the VM (editor_program.sh, phase follow).

- followed.syx, saved from the editor after the synthesizer's panel chose A10 and turned two
  knobs, is A10 of the bank with timbre 1's Cutoff 80 (byte 58) and Resonance 100 (byte 59);
- edited.syx, saved after A01 was auditioned and five parameters set by keys, is the
  synthesizer's edit buffer at the end (synth-edit.syx) byte for byte, and it is A01 with
  those five values;
- the synthesizer's log shows, after the audition's program dump, only parameter changes.
Usage: check_editor_run.py BANK OUT_DIR
"""
import re
import sys


def unpack(packed):
    out = bytearray()
    for i in range(0, len(packed), 8):
        flags = packed[i]
        for k, b in enumerate(packed[i + 1:i + 8]):
            out.append(b | (0x80 if flags & (1 << k) else 0))
    return bytes(out)


def program_dump(data):
    out = bytearray([0xF0, 0x42, 0x30, 0x58, 0x40])
    for i in range(0, len(data), 7):
        group = data[i:i + 7]
        out.append(sum(1 << k for k, b in enumerate(group) if b & 0x80))
        out.extend(b & 0x7F for b in group)
    return bytes(out + b'\xf7')


def main():
    bank_path, out = sys.argv[1], sys.argv[2]
    raw = open(bank_path, 'rb').read()
    programs = unpack(raw[5:raw.index(0xF7, 5)])
    program = lambda n: bytearray(programs[n * 254:(n + 1) * 254])
    log = open(out + '/program.log').read()
    saved = dict(re.findall(r'^(followed|edited): ([0-9a-f]+)$', log, re.M))
    failed = 0

    def check(what, ok):
        nonlocal failed
        print(('ok ' if ok else 'FAIL ') + what)
        failed |= not ok

    followed = program(9)
    followed[58], followed[59] = 80, 100
    check('the program saved after the panel is A10 with both knobs turned',
          bytes.fromhex(saved.get('followed', '')) == program_dump(bytes(followed)))

    edited = program(0)
    edited[58] = 99                   # Cutoff
    edited[30], edited[31] = 0, 150   # Arp Tempo
    edited[57] = 3                    # Filter Type 12HPF
    edited[43] = 64 - 12              # Transpose
    edited[50] = (edited[50] & ~0x03) | 2   # OSC2 Wave Tri, bits 1-0
    saved_edited = bytes.fromhex(saved.get('edited', ''))
    check('the program saved after the keys is A01 with the five values set', saved_edited == program_dump(bytes(edited)))
    synth_edit = open(out + '/synth-edit.syx', 'rb').read()
    check("the synthesizer's edit buffer is the edited program byte for byte", synth_edit == saved_edited)

    lines = open(out + '/synth.log').read().splitlines()
    taken = [m.group(1) for m in (re.search(r' took ([0-9A-F]{2}),', line) for line in lines) if m]
    last_program = max((i for i, f in enumerate(taken) if f == '40'), default=-1)
    after = taken[last_program + 1:]
    check('after the audition the synthesizer got parameter changes only (%s)' % ' '.join(after),
          last_program >= 0 and len(after) >= 5 and set(after) == {'41'})
    check('the panel sent its program change and two parameter changes',
          sum('(panel)' in line for line in lines) == 3)
    return failed


if __name__ == '__main__':
    sys.exit(main())
