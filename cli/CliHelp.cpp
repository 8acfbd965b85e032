#include "CliOptions.h"
#include "VeltrixVersion.h"

std::string CliHelpText()
{
    return R"(veltrix-cli: the command-line companion of Veltrix, the Korg MS2000 librarian

Usage:
  veltrix-cli ports
  veltrix-cli list FILE...
  veltrix-cli receive [--port NAME] [--channel N] (--current | --programs | --all) -o FILE
  veltrix-cli send [--port NAME] [--channel N] [--yes] FILE
  veltrix-cli --help
  veltrix-cli --version

Commands:
  ports    One line per hardware MIDI port: its name, a tab, and "out", or "in/out"
           when the port can also be read (receive and bank sends need that).
  list     One line per program of the given .syx files, in file and dump order:
           file, bank (A-H), number (001-016), name and voice mode, separated by tabs,
           as the Veltrix window shows them. The file is named as the window's Open
           names it (without folder and extension). A file that cannot be read is
           reported on stderr ("Failed to parse Syx file NAME. REASON") and the
           others are still listed.
  receive  Asks the synthesizer for a dump and writes exactly the bytes it answers
           with to FILE: --current the program in its edit buffer (297 bytes),
           --programs its 128 programs (37,163 bytes, about 12 s), --all all its
           data (programs and global data). FILE is written only when the whole dump
           arrived and is valid, and only then replaced: a failed receive leaves no
           file and leaves an existing FILE as it was. Progress is shown on stderr
           when stderr is a terminal.
  send     Sends a .syx file. A one-program file goes to the synthesizer's edit
           buffer, as the window's Audition does; nothing in its memory changes.
           A 128-program file (a program dump, or an all-data dump whose programs
           are sent as a program dump, without its global data) replaces all 128
           programs in the synthesizer's memory, so it needs --yes; the synthesizer's
           answer is then awaited.

Options:
  --port NAME    The MIDI port, as "veltrix-cli ports" lists it (letter case does not
                 matter). Without it: the port last chosen in the Veltrix window
                 ([midi] port in $XDG_CONFIG_HOME/Veltrix/Veltrix.conf, by default
                 ~/.config/Veltrix/Veltrix.conf) when it is connected, else the first
                 hardware port.
  --channel N    The MIDI channel the synthesizer listens on, 1 to 16 (default 1).
  --current, --programs, --all
                 What receive asks for (exactly one).
  -o FILE, --output FILE
                 The file receive writes.
  --yes          Confirms that send may replace the synthesizer's 128 programs.
  -h, --help     This text.
  --version      The release of veltrix-cli.

The synthesizer has 10 s to start answering, and may pause at most 3 s inside a dump;
after a bank send it has 10 s to confirm. Ctrl+C stops a receive or send cleanly.

Exit status:
  0    done
  1    a file could not be read or is not a valid dump (list, send), or FILE could
       not be written (receive)
  2    usage error: bad arguments, no such port, a port that cannot be read for a
       receive or a bank send, or a bank send without --yes
  3    the synthesizer did not answer in time (no answer at all; after a bank send,
       no confirmation)
  4    the answer is not a whole, valid dump of the requested kind (wrong kind,
       corrupted, or stopped halfway)
  5    the synthesizer reported a data load error after a bank send
  6    the MIDI port could not be opened, read or written
  130  stopped with Ctrl+C (or SIGTERM); a receive then writes nothing
)";
}

std::string CliVersionText()
{
    return std::string("veltrix-cli ") + VELTRIX_VERSION + "\n";
}
