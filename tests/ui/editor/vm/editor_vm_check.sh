#!/usr/bin/env bash
# The real window's Program Editor in the MIDI VM against the simulated synthesizer (see
# editor_program.sh), in two boots: following the synthesizer's panel and editing by keys,
# then with the synthesizer refusing everything (memory protect on).
# Usage: editor_vm_check.sh RUN_IN_VM VELTRIX OUT_DIR REALDATA_DIR
# ONLY_FOLLOW=1 or ONLY_NAK=1 runs one of the two boots.
set -u
run_in_vm=$1 veltrix=$2 out=$3 realdata=$4
here=$(dirname "$(readlink -f "$0")")
bank=$realdata/ms2000-bank-0x4C.syx
mkdir -p "$out/follow" "$out/nak"
failed=0

# The musician at the panel: A10 chosen, then timbre 1's Cutoff and Resonance turned.
cat > "$out/panel.txt" <<'PANEL'
75 program 9
78 055 80
80 056 100
PANEL

run() { # PHASE OUT [ENV...]
    phase=$1 dir=$2; shift 2
    # The VM passes no environment to its program: the phase goes in a script of its own.
    printf '#!/bin/sh\nEDITOR_PHASE=%s exec sh /files/editor_program.sh\n' "$phase" > "$dir/editor_$phase.sh"
    chmod +x "$dir/editor_$phase.sh"
    env "$@" VELTRIX_VM_X=1 VELTRIX_VM_SYNTH="$bank" VELTRIX_VM_FILES="$veltrix $bank $here/editor_program.sh $here/../../vm/window_steps.sh" \
        VELTRIX_VM_TIMEOUT=300 "$run_in_vm" "$dir" "$dir/editor_$phase.sh"
    rc=$?
    echo "--- $phase: program output (exit status $rc) ---"
    cat "$dir/program.log"
    echo "--- $phase: synth.log ---"
    cat "$dir/synth.log" 2>/dev/null
    [ "$rc" = 0 ] || { echo "FAIL: the $phase run exited with $rc"; failed=1; }
}

[ -z "${ONLY_NAK:-}" ] && run follow "$out/follow" VELTRIX_VM_SYNTH_PANEL="$out/panel.txt"
[ -z "${ONLY_NAK:-}" ] && { python3 "$here/check_editor_run.py" "$bank" "$out/follow" || failed=1; }
[ -z "${ONLY_FOLLOW:-}" ] && run nak "$out/nak" VELTRIX_VM_SYNTH_MODE=nak
if grep -q "took 41" "$out/nak/synth.log" && grep -q "nak: memory protect" "$out/nak/synth.log"; then
    echo "ok the synthesizer got the parameter change and refused it"
else
    echo "FAIL: the nak synthesizer's log shows no refused parameter change"; failed=1
fi
[ "$failed" = 0 ] && echo "PASS: the editor followed the panel and its edits reached the synthesizer as parameter changes; a refusal was told"
exit $failed
