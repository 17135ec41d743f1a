#!/usr/bin/env bash
# The installer under Wine as a user meets it: installed silently into a folder of the user's choice (twice:
# again over the first installation), the three programs and the Start-menu entries there, orvctl found by a
# command prompt through the user's PATH, its size recorded, and the uninstaller taking all of it away again,
# the user's other PATH entries and, unasked, the settings left as they were. Every Wine step has a time limit; a failing step names itself.
# Usage: installer_check.sh PREFIX SETUP.exe
set -euo pipefail
prefix=$1 setup=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh" "$prefix"

folder='C:\Tools\ORVANTA TOOL'
unix_folder=$WINEPREFIX/drive_c/Tools/ORVANTA\ TOOL
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/ORVANTA\ TOOL
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ORVANTA TOOL'
user_path='C:\Before;C:\Tools\Other'
step_limit=120

fail() {
    echo "installer step failed: $1" >&2
    exit 1
}

# Wine with the step's time limit; its output goes to the caller without Windows line ends.
in_wine() {
    timeout --kill-after=10 "$step_limit" wine "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

user_path_now() {
    in_wine reg query 'HKCU\Environment' /v Path | sed -n 's/^ *Path *REG_[A-Z_]* *//p'
}

install() {
    # /D= must end the installer's command line unquoted, spaces and all: cmd passes it on as written.
    cp "$setup" "$WINEPREFIX/drive_c/orvtool-setup.exe"
    in_wine cmd /c "C:\\orvtool-setup.exe /S /D=$folder" || fail "$1"
    rm -f "$WINEPREFIX/drive_c/orvtool-setup.exe"
}

in_wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path" /f >/dev/null || fail "setting the user's PATH"
install "install"
install "install again over the first installation"

for file in orvtool.exe orvtool-sim.exe bin/orvctl.exe uninstall.exe; do
    [ -f "$unix_folder/$file" ] || fail "installed programs: no $file in $folder"
done
for entry in "ORVANTA TOOL" "ORVANTA TOOL (simulated bus)" "Uninstall ORVANTA TOOL"; do
    [ -f "$menu/$entry.lnk" ] || fail "Start-menu entries: no \"$entry\""
done
in_wine reg query "$uninstall_key" /v EstimatedSize | grep -q REG_DWORD || fail "uninstall entry: no EstimatedSize"
in_wine reg query "$uninstall_key" /v UninstallString | grep -qF "\"$folder\\uninstall.exe\"" ||
    fail "uninstall entry: no UninstallString naming $folder"
[ "$(user_path_now)" = "$user_path;$folder\\bin" ] ||
    fail "user's PATH after installing: \"$(user_path_now)\", not \"$user_path;$folder\\bin\""
# A new command prompt, as the user opens one after installing.
in_wine cmd /c "orvctl --sim discover" | grep -q "ORV-Input8" || fail "orvctl from a command prompt"

# Settings of a run of the tool, which a silent uninstall keeps (it asks before it removes them).
in_wine reg add 'HKCU\Software\Orvanta\orvtool\Interface' /v Port /t REG_SZ /d COM7 /f >/dev/null ||
    fail "writing settings"
# The uninstaller runs from a copy of itself in the temporary folder, and the first one returns at once: the
# checks wait until the prefix's programs have ended.
in_wine "$unix_folder/uninstall.exe" /S || fail "uninstall"
timeout "$step_limit" wineserver --wait || fail "uninstall: waiting for the uninstaller to end"

[ ! -e "$unix_folder" ] || fail "uninstall left files: $(cd "$unix_folder" && find . -mindepth 1 | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "uninstall left the Start-menu folder"
if in_wine reg query "$uninstall_key" >/dev/null; then fail "uninstall left the uninstall entry"; fi
in_wine reg query 'HKCU\Software\Orvanta\orvtool\Interface' /v Port | grep -q COM7 ||
    fail "the silent uninstall removed the settings"
[ "$(user_path_now)" = "$user_path" ] ||
    fail "user's PATH after uninstalling: \"$(user_path_now)\", not \"$user_path\""
echo "installer: installed, found on PATH and uninstalled without a trace"
