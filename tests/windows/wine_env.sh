# Sourced by the Wine scripts: the environment of one Wine prefix (argument 1), made on first use.
# The Mono and Gecko installers are skipped: without them wineboot would wait for a dialog. Start-menu entries
# stay in the prefix: no menu entries for the Linux desktop.
export WINEPREFIX=$1 WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEDEBUG=${WINEDEBUG:--all}
wine_timeout=${ORV_WINE_TIMEOUT:-300}
if [ ! -f "$WINEPREFIX/.made" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.made" ]; then
            rm -rf "$WINEPREFIX"
            timeout --kill-after=10 120 wineboot --init >/dev/null 2>&1 || { echo "making the Wine prefix failed" >&2; exit 1; }
            timeout --kill-after=10 60 wineserver --wait
            touch "$WINEPREFIX/.made"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
# The prefix's server, started here so that its messages go to a log of the prefix, not into the tests' output;
# when it runs already, this one ends at once.
wineserver --persistent=5 2>>"$WINEPREFIX/wineserver.log" || true
