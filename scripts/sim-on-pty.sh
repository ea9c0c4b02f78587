# Sourced by the Windows comparisons: start_sim and stop_sim run one kelvane-sim at
# a time for them ($sim: the program, $work: the folder for its output).
sim_pid=""

# Starts kelvane-sim with a link at $1 and the remaining arguments, and waits until it
# has printed its device (after making the link); a link left by an earlier run, or
# one wine made for a serial port of the host, is removed first.
start_sim() {
    local link="$1"
    shift
    rm -f "$link"
    # Emptied here, not by the redirection below: that happens in the child, and until
    # then the loop would find the previous simulator's line and go on too early.
    : >"$work/sim.out"
    "$sim" --link "$link" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    for _ in $(seq 200); do
        [ -s "$work/sim.out" ] && return 0
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "kelvane-sim did not start: $(cat "$work/sim.err")" >&2
    return 1
}

# SIGINT, as Ctrl+C; a simulator that has not ended within five seconds gets SIGKILL,
# so that no comparison can hang.
stop_sim() {
    if [ -n "$sim_pid" ]; then
        kill -INT "$sim_pid" 2>/dev/null || true
        for _ in $(seq 100); do
            kill -0 "$sim_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill -KILL "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=""
    fi
}
