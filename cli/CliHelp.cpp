#include "CliOptions.h"
#include "VeltrixVersion.h"

std::string CliHelpText()
{
    return R"(veltrix-cli: the command-line companion of Veltrix, the Korg MS2000 librarian

Usage:
  veltrix-cli ports
  veltrix-cli detect [--json]
  veltrix-cli list FILE...
  veltrix-cli receive [--port NAME] [--channel N] [--no-collection]
                      (--current | --programs | --all) -o FILE
  veltrix-cli send [--port NAME] [--channel N] [--yes] FILE
  veltrix-cli write [--port NAME] [--channel N] --slot SLOT [--yes] FILE
  veltrix-cli import PATH...
  veltrix-cli search [--mode Single|Split|Dual|Vocoder] [--tag TAG] [--favourite]
                     [--hidden] [--source SOURCE] [TEXT]
  veltrix-cli sources
  veltrix-cli export (--source SOURCE | --list NAME | ID...) -o PATH
  veltrix-cli diff [--params] [--model MODEL] SOURCE1 SOURCE2
  veltrix-cli mark ID... (--favourite | --no-favourite | --hide | --unhide |
                          --tag TAG | --untag TAG | --rename NAME)
  veltrix-cli show (FILE [--slot A01] | --id N) [--all] [--json] [--model MODEL]
  veltrix-cli compare A B [--json] [--model MODEL]
  veltrix-cli check
  veltrix-cli --help
  veltrix-cli --version
Every command also takes --collection FILE.

Commands:
  ports    One line per hardware MIDI port: its name, a tab, and "out", or "in/out"
           when the port can also be read (receive and bank sends need that). Ports
           that share a name are told apart by a number: "UM-ONE MIDI 1 #2".
  detect   Finds the synthesizer: asks every hardware port that can also be read,
           on every channel at once (the universal device inquiry), and listens for
           up to 1 s. One line per answer: the port (as "ports" names it), a tab,
           the synthesizer's global MIDI channel (1-16), a tab, and the model
           ("MS2000", "MS2000R", or "a synthesizer of this family"). --json prints
           a JSON array of objects with "port", "channel" and "model" instead. No
           answer is exit status 3, and stderr names the ports asked and the usual
           causes.
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
           when stderr is a terminal. The dump is then also kept in the Collection
           as a source named "Synth yyyy-MM-dd hh:mm:ss" (not with --no-collection).
           A Collection that cannot be used never costs the backup: FILE is
           written first, a warning is printed, and the exit status stays 0.
  send     Sends a .syx file. A one-program file goes to the synthesizer's edit
           buffer, as the window's Audition does; nothing in its memory changes.
           A 128-program file (a program dump, or an all-data dump whose programs
           are sent as a program dump, without its global data) replaces all 128
           programs in the synthesizer's memory, so it needs --yes; the synthesizer's
           answer is then awaited.
  write    Writes the one program of FILE into one slot of the synthesizer's memory
           (--slot A01 to H16), replacing what is there, so it needs --yes; without
           it, says which program the slot holds when the Collection knows it. The
           program goes to the edit buffer, then the synthesizer is asked to store
           it; it has 2 s to answer each. "Written to A 05" on success (on a
           terminal); a refusal (memory protect on) is exit status 5. The
           Collection then knows the program is in that slot.

The Collection keeps every program ever taken in, in one database shared with the
Veltrix window: $XDG_DATA_HOME/Veltrix/collection.sqlite, by default
~/.local/share/Veltrix/collection.sqlite. A program is one sound: the same sound under
another name is the same program, known by its ID and shown by the name last given
to it, else the first it was seen with. A source is one file taken in or one
receive, kept byte for byte.
  import   Takes in .syx files, and the .syx files in folders and their subfolders
           (any letter case). One line per file on stdout: path, programs in it,
           programs new to the Collection, and the SysEx messages the file holds,
           separated by tabs; the programs of every program message in a file are
           taken in, and the file is kept whole. A file already taken in adds
           nothing. A file that cannot be taken in (not a dump, over 1 MiB, not a
           regular file) is reported on stderr ("Failed to parse Syx file PATH.
           REASON"), and the others are still taken in. Ctrl+C stops between two
           files; each file is taken in whole or not at all.
  search   One line per program, ordered by name (letter case ignored), then ID:
           ID, name, voice mode, tags (comma-separated) and the number of sources it
           appears in, separated by tabs. TEXT is looked for in every name the
           program was seen with (letter case ignored). Hidden programs are left
           out; --hidden lists only them. Finding nothing is not an error.
  sources  One line per source, oldest first: the source (a file's full path, or
           "Synth yyyy-MM-dd hh:mm:ss"), file or synth, its number of programs, and
           when it was taken in (yyyy-MM-ddThh:mm:ss), separated by tabs.
  export   Writes to PATH: a source exactly as it was taken in; a list of 128
           programs as one program dump; one program as a one-program file (297
           bytes) carrying its shown name. With several IDs, PATH is a folder (made
           when missing) that gets one such file per program, named "ID NAME.syx"
           (characters a file name cannot hold become "_"). Files are written as
           receive writes FILE: whole, or not at all.
  diff     Compares two sources of 128 programs slot by slot: one line per slot that
           differs: bank, number, renamed, changed or renamed+changed, the name in
           SOURCE1 and the name in SOURCE2, separated by tabs. --params adds under
           each slot the parameters that differ, one line each, starting with a tab,
           as compare prints them.
  mark     Marks programs as favourites or not, hides them from search or shows
           them again, adds or removes a tag, or gives them a new name (at most 12
           characters the synthesizer can show: printable ASCII). All the IDs are
           marked in one go, or none of them.
  check    Checks the whole Collection: its file with SQLite's integrity check, and
           every source's bytes against what was taken in. One line per finding on
           stdout ("damaged file", then what; "damaged source", its ID, name and
           when it was taken in), a summary on stderr. Changes nothing. Exit status
           0 when all is sound, 7 when anything is damaged. search, sources, export,
           diff and check only read the Collection, so a read-only one can be read.

A program's parameters:
  show     One line per parameter of one program that applies to it, in the order of
           the synthesizer's parameter list: section (Common, Timbre 1, Timbre 2 or
           Vocoder), name, and the value as the synthesizer shows it ("Saw", "-12",
           "L20", "CNT", "1/16", "GLB", "C4"), separated by tabs. FILE holds one
           program, or is a 128-program dump with --slot; --id N is a program of the
           Collection. Timbre 2 of a Single program is left out unless --all; a
           vocoder program shows its vocoder settings instead of the timbres. A value
           no program should hold is shown as it is, followed by: (out of range).
           --json prints an array of objects: section, name, byte (its first byte,
           0-253), bits ([high, low]), stored (the bits as a number; for the name,
           its 12 bytes), shown and inRange.
  compare  Compares two programs parameter by parameter, each written FILE (a
           one-program file), FILE:A05 (a slot of a 128-program dump) or id:N (a
           Collection program): one line per parameter that differs, section, name,
           the value in A and the value in B, separated by tabs; the name counts as
           the parameter Name. Programs of two voice modes compare the parameters
           both have, and stderr says so. --json prints an array of objects: section,
           name, byte, bits, firstStored, secondStored, firstShown, secondShown,
           firstInRange and secondInRange. Exit status 0 when nothing differs, 1 when
           something does, 2 when a program cannot be read or found (as cmp).

A SOURCE is written as "veltrix-cli sources" prints it, as the path of a file taken
in, or as a file name alone when only one source has it.

Options:
  --port NAME    The MIDI port, as "veltrix-cli ports" lists it, whole (letter case
                 does not matter). Without it: the port last chosen in the Veltrix
                 window ([midi] port in $XDG_CONFIG_HOME/Veltrix/Veltrix.conf, by
                 default ~/.config/Veltrix/Veltrix.conf) when it is connected, else the
                 first hardware port; none when another port of its name is there.
  --channel N    The MIDI channel the synthesizer listens on, 1 to 16 (default 1).
  --current, --programs, --all
                 What receive asks for (exactly one).
  -o FILE, --output FILE
                 The file receive writes.
  --yes          Confirms that send may replace the synthesizer's 128 programs, or
                 write the program in a slot.
  --collection FILE
                 The Collection's database to use instead of the default one; made
                 when missing.
  --no-collection
                 receive keeps the dump out of the Collection.
  --mode MODE, --tag TAG, --favourite, --hidden, --source SOURCE
                 What search asks for: the voice mode, a tag (letter case ignored),
                 favourites only, hidden programs only, programs of one source.
  --list NAME    export: a list saved in the Veltrix window.
  --slot SLOT    show: the slot of a 128-program dump; write: the slot of the
                 synthesizer's memory it stores the program in. A01 to H16 (A05, a5
                 and "A 05" are the same).
  --id N         show: a program of the Collection, by the ID search prints.
  --all          show: also the parameters that do not apply (a Single program's
                 timbre 2).
  --json         detect, show, compare: JSON instead of lines.
  --params       diff: the parameters that differ, under each slot.
  --model MODEL  show, compare, diff: ms2000 or microkorg, the instrument the program
                 is shown for; for the microkorg its mod sequencer and the settings it
                 lacks (scale, split point, key priority, velocity sense) are left
                 out. Without it: the window's setting ([editor] model in
                 Veltrix.conf), else ms2000.
  -o PATH, --output PATH
                 The file export writes (with several IDs, the folder).
  --favourite, --no-favourite, --hide, --unhide, --tag TAG, --untag TAG,
  --rename NAME  What mark does (exactly one).
  -h, --help     This text.
  --version      The release of veltrix-cli.

The synthesizer has 10 s to start answering, and may pause at most 3 s inside a dump;
after a bank send it has 10 s to confirm, and 2 s for each answer of a write. Ctrl+C,
SIGTERM or closing the terminal stops a receive or send cleanly; a second Ctrl+C stops
at once. Neither leaves a temporary file. When FILE is a symbolic link, the file it
names is replaced.

Exit status:
  0    done
  1    a file could not be read or is not a valid dump (list, send, write, import,
       show), or a file could not be written (receive, export); for compare: the
       two programs differ
  2    usage error: bad arguments, no such port (the ports are named), the window's
       port missing while a port of its name is there, a port that cannot be read
       for a receive, a bank send or a write, a bank send or a write without --yes,
       an unknown or ambiguous SOURCE, an unknown list or ID, a name the synthesizer
       cannot show, a blank tag, sources that cannot be compared, a 128-program
       file without a slot, or (compare) a program that cannot be read
  3    the synthesizer did not answer in time (no answer at all; after a bank send
       or a write, no confirmation); detect found no synthesizer
  4    the answer is not a whole, valid dump of the requested kind (wrong kind,
       corrupted, or stopped halfway)
  5    the synthesizer refused: a data load error after a bank send, or a write
       refused (memory protect on)
  6    the MIDI port could not be opened, read or written, or went away (unplugged)
  7    the Collection could not be opened, read or changed (locked by another
       program for too long, read-only, disk full, damaged), a source whose stored
       bytes are damaged, or check found damage; never for receive, which warns
  130  stopped with Ctrl+C (or SIGTERM, or the terminal closed); a receive then
       writes nothing, an import keeps the files taken in before
)";
}

std::string CliVersionText()
{
    return std::string("veltrix-cli ") + VELTRIX_VERSION + "\n";
}
