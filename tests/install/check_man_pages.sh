#!/usr/bin/env bash
# Each manual page, as the build gzips it, renders with man without a warning
# from man or groff, and its NAME line reads as whatis reads it.
# Usage: check_man_pages.sh PAGE.1.gz...
failures=0
for page in "$@"; do
    name=$(basename "$page" .1.gz)
    warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)
    if [[ $? -ne 0 || -n $warnings ]]; then
        echo "FAIL: $page: $warnings"
        failures=$((failures + 1))
    fi
    if ! lexgrog "$page" | grep -q "\"$name - "; then
        echo "FAIL: $page has no NAME line for $name: $(lexgrog "$page")"
        failures=$((failures + 1))
    fi
done
[[ $# -gt 0 && $failures -eq 0 ]] && echo "manual pages render: $*"
[[ $# -gt 0 && $failures -eq 0 ]]
