# The steps the VM window checks drive the real window with (sourced by their programs, which
# run inside the MIDI VM with an X display): waits, checks and the window's menus and file
# dialogs, by keys only, as a user would. A program sets LOG (where the window's output goes)
# and pid (the window's process) and counts failed checks in `failures`.

failures=0

now() { cut -d' ' -f1 /proc/uptime; }
check() { # WHAT COMMAND...
    what=$1; shift
    if "$@" >/dev/null 2>&1; then echo "ok $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
# Polls COMMAND every 0.2 s until it succeeds or SECONDS have passed.
wait_for() { # SECONDS COMMAND...
    limit=$(awk "BEGIN { print $(now) + $1 }"); shift
    until "$@" >/dev/null 2>&1; do
        awk "BEGIN { exit !($(now) > $limit) }" && return 1
        sleep 0.2
    done
}
later_than() { awk "BEGIN { exit !($(now) > $1) }"; }
titled() { xdotool search --onlyvisible --name "$1"; }
not_titled() { ! xdotool search --onlyvisible --name "$1"; }
said() { grep -q "$1" "$LOG"; }
not() { ! "$@"; }
main_window() { xdotool search --onlyvisible --name '^Veltrix' | head -1; }
focus_main() { xdotool windowfocus --sync "$(main_window)"; sleep 0.3; }
visible_windows() { xdotool search --onlyvisible --class veltrix | wc -l; }
more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }
# Opens a menu with Alt+KEY, then submenus by their mnemonics, each once it is on screen.
open_menu() { # MENU_KEY [SUBMENU_KEY...]
    focus_main
    key="alt+$1"
    while :; do
        n=$(visible_windows)
        xdotool key "$key"
        wait_for 20 more_windows_than "$n" || {
            echo "FAIL the menu of $key did not open"
            xdotool search --onlyvisible --class veltrix getwindowname %@
            return 1
        }
        sleep 0.3
        shift
        [ $# -gt 0 ] || return 0
        key=$1
    done
}
# Chooses a menu item by the mnemonics of its menus and its own.
menu() { # MENU_KEY [SUBMENU_KEY...] ITEM_KEY
    keys=""; while [ $# -gt 1 ]; do keys="$keys $1"; shift; done
    open_menu $keys && xdotool key "$1"
}
# Types PATH into the file dialog titled TITLE and confirms it.
answer_dialog() { # TITLE PATH
    wait_for 30 titled "^$1\$" || { echo "FAIL the $1 dialog did not open"; return 1; }
    sleep 0.5
    xdotool type --delay 20 "$2"; xdotool key Return
    wait_for 30 not_titled "^$1\$"
}
# Prints what the window said, closes it, and exits 0 when every check passed.
finish() {
    echo "--- what the window said ---"; cat "$LOG"
    kill "$pid" 2>/dev/null
    [ "$failures" = 0 ]
    exit $?
}
