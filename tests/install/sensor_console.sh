# shellcheck shell=bash
# The simulated sensor's console as the install checks talk to it: its input on descriptor 7, its
# output on descriptor 8. Sourced after the check has defined fail.

# Asks the simulated sensor for its state and prints how many requests it has received.
sensor_requests() {
    echo status >&7
    local line
    while IFS= read -r -t 5 line <&8; do
        if [[ "$line" =~ ^requests:\ ([0-9]+) ]]; then
            echo "${BASH_REMATCH[1]}"
            return 0
        fi
    done
    fail "the simulated sensor did not print its state"
}
