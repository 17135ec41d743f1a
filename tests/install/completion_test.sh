#!/usr/bin/env bash
# orvctl's bash completion: loaded as bash-completion loads it, it completes
# commands, each command's options, --port values from the serial devices
# present, and files and folders where a command takes them.
# Usage: completion_test.sh COMPLETION_FILE
set -u
source "$1" || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dev/serial/by-id" "$work/files/bus-old"
touch "$work/dev/ttyUSB0" "$work/dev/ttyUSB1" "$work/dev/ttyS0" \
      "$work/dev/serial/by-id/usb-ORVANTA_ORV-NET_A1-if00-port0" "$work/files/hall.bin"
_orvctl_dev=$work/dev
cd "$work/files" || exit 1

failures=0
# expect LINE WANTED: completing the command line LINE (its last word being
# completed) gives exactly the words WANTED, in any order.
expect() {
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _orvctl
    local got wanted
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    wanted=$(printf '%s\n' $2 | sort | xargs)
    if [[ $got != "$wanted" ]]; then
        echo "FAIL: '$1' completes to '$got', not '$wanted'"
        failures=$((failures + 1))
    fi
}

expect "orvctl rea" "read-config"
expect "orvctl re" "read-config restore"
expect "orvctl d" "decode diff discover doctor"
expect "orvctl --s" "--sim"
expect "orvctl --port " "$work/dev/ttyUSB0 $work/dev/ttyUSB1 $work/dev/serial/by-id/usb-ORVANTA_ORV-NET_A1-if00-port0 tcp:// rfc2217://"
expect "orvctl --port $work/dev/tty" "$work/dev/ttyUSB0 $work/dev/ttyUSB1"
expect "orvctl --port =" "$work/dev/ttyUSB0 $work/dev/ttyUSB1 $work/dev/serial/by-id/usb-ORVANTA_ORV-NET_A1-if00-port0 tcp:// rfc2217://"
expect "orvctl --port = $work/dev/ttyUSB1" "$work/dev/ttyUSB1"
expect "orvctl --port r" "rfc2217://"
expect "orvctl --port $work/dev/ttyUSB0 -v d" "decode diff discover doctor"
expect "orvctl --port = $work/dev/ttyUSB0 re" "read-config restore"
expect "orvctl discover --a" "--all"
expect "orvctl --sim discover --r" "--resolve"
expect "orvctl doctor --j" "--json"
expect "orvctl backup --sl" "--slow"
expect "orvctl firmware --e" "--emergency"
expect "orvctl read-config 3 -o h" "hall.bin"
expect "orvctl write-config 3 " "bus-old hall.bin"
expect "orvctl restore b" "bus-old"
expect "orvctl restore --r" "--replace --resolve"
expect "orvctl set-address 9 20 --u" "--update-links"

[[ $failures -eq 0 ]] && echo "orvctl completion complete"
exit $((failures > 0))
