#!/usr/bin/env bash
# Builds the Debian package from a fresh clone, installs it on this machine, runs the installed
# program under a private X server and XDG folders, and purges it again, checking that nothing
# it installed stays behind. Needs root (or sudo) and an apt that can install the dependencies.
#
#   scripts/package-check.sh [--committed] [CLONE_DIR]
#
# Uncommitted changes of the working tree are copied over the clone unless --committed is given.
# Refuses to run while larkspurhollow is installed, since it ends by purging it.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
overlay=1
if [[ "${1:-}" == "--committed" ]]; then
    overlay=0
    shift
fi
clone=${1:-/tmp/larkspur-package-check}
as_root=()
if [[ $(id -u) -ne 0 ]]; then as_root=(sudo); fi

started=$(date +%s)
step() { printf '== %s (%ds)\n' "$1" $(($(date +%s) - started)); }
die() {
    printf 'FAILED: %s\n' "$1" >&2
    exit 1
}

if dpkg-query -W -f='${Status}' larkspurhollow 2>/dev/null | grep -q 'ok installed'; then
    die "larkspurhollow is installed already; this check would purge it"
fi

step "Cloning into $clone"
rm -rf "$clone"
git clone --quiet "$source_dir" "$clone"
if ((overlay)); then
    # Changed and new files of the working tree, leaving out what git ignores (build folders).
    changed=$(cd "$source_dir" && git ls-files -z -m -o --exclude-standard | tr -cd '\0' | wc -c)
    (cd "$source_dir" && git ls-files -z -m -o --exclude-standard |
        tar --null --ignore-failed-read -cf - -T - 2>/dev/null) | tar -xf - -C "$clone"
    while IFS= read -r -d '' gone; do rm -f "$clone/$gone"; done < <(cd "$source_dir" &&
        git ls-files -z -d)
    echo "copied $changed uncommitted file(s) from the working tree"
fi

step "Building the package"
(cd "$clone" && cmake --workflow --preset package >"$clone/package-build.log" 2>&1) ||
    die "the package build failed; see $clone/package-build.log"
debs=("$clone"/build/package/larkspurhollow_*_amd64.deb)
[[ -f "${debs[0]}" && ${#debs[@]} -eq 1 ]] || die "expected one larkspurhollow_*_amd64.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

work=$(mktemp -d)
xvfb_pid=
bus_pid=
program_pid=
installed=0
cleanup() {
    for pid in "$program_pid" "$bus_pid" "$xvfb_pid"; do
        if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
    done
    if ((installed)); then
        DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq larkspurhollow \
            >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Unlike the check of the metainfo alone, this one also finds the desktop entry it launches.
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate-tree --no-net "$work/tree" >"$work/appstream.log" 2>&1 ||
    die "appstreamcli validate-tree: $(cat "$work/appstream.log")"
if grep -q '^ *[EW]:' "$work/appstream.log"; then
    die "appstreamcli validate-tree: $(cat "$work/appstream.log")"
fi

step "Installing it with apt-get"
installed=1
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    die "apt-get install failed: $(tail -5 "$work/apt.log")"
dpkg -L larkspurhollow | sort >"$work/files"

step "Running the installed program"
[[ $(/usr/bin/larkspurhollow --version) == "Larkspurhollow $version" ]] ||
    die "--version does not print the package's version $version"
[[ $(man -w larkspurhollow) == /usr/share/man/man1/larkspurhollow.1.gz ]] ||
    die "man does not find the manual page"

# A home of its own, so that whatever the program writes for the user shows up below.
home=$work/home
mkdir -p "$home/.local/share" "$home/.config" "$home/.cache" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config
export XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_DIRS=/usr/local/share:/usr/share
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || die "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY

# One private session bus for everything below; without one, xdg-mime's desktop probe would
# autolaunch a bus of its own.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 \
    3>"$work/bus.address" 4>"$work/bus.pid" 2>"$work/dbus.log" || die "no session bus"
bus_pid=$(cat "$work/bus.pid")
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus.address")
export DBUS_SESSION_BUS_ADDRESS

handler=$(xdg-mime query default x-scheme-handler/larkspurhollow)
[[ "$handler" == larkspurhollow.desktop ]] ||
    die "xdg-mime names \"$handler\" for x-scheme-handler/larkspurhollow"

timers=$XDG_DATA_HOME/Larkspurhollow/active-timers.json
stored() { [[ -f "$timers" ]] && grep -q "\"name\":\"$1\"" "$timers"; }
wait_for() {
    for _ in $(seq 100); do
        stored "$1" && return 0
        sleep 0.1
    done
    die "no timer named $1 in $timers"
}
/usr/bin/larkspurhollow "larkspurhollow://start?name=Packaged&duration=600" >"$work/program.log" 2>&1 &
program_pid=$!
wait_for Packaged
echo "the URL given to /usr/bin/larkspurhollow started a timer"
timeout 20 xdg-open "larkspurhollow://start?name=Opened&duration=60" >>"$work/program.log" 2>&1 ||
    die "xdg-open failed: $(tail -3 "$work/program.log")"
wait_for Opened
echo "xdg-open handed a larkspurhollow:// URL to the running program"
kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
((status == 0)) || die "the program ended with status $status on SIGTERM: $(tail -3 "$work/program.log")"
program_pid=
echo "files the program wrote outside its data folder:"
(cd "$home" && find . -type f ! -path './.local/share/Larkspurhollow/*' | sed 's/^/  /')

step "Purging it"
installed=0
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq larkspurhollow >>"$work/apt.log" 2>&1 ||
    die "apt-get purge failed: $(tail -5 "$work/apt.log")"
left=()
while IFS= read -r path; do
    [[ -e "$path" || -L "$path" ]] || continue
    # A folder that stays must belong to another package (/usr/share/icons/hicolor, ...).
    if [[ -d "$path" && ! -L "$path" ]] && dpkg -S "$path" >/dev/null 2>&1; then continue; fi
    left+=("$path")
done <"$work/files"
((${#left[@]} == 0)) || die "left behind after purge: ${left[*]}"
if grep -qs larkspurhollow /usr/share/applications/mimeinfo.cache; then
    die "the desktop's MIME cache still names larkspurhollow"
fi
echo "nothing of the $(wc -l <"$work/files") installed paths remains outside the data folder"

step "Package check passed for larkspurhollow $version"
