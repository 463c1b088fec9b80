#!/bin/sh
# The files a package ships beside the program must pass the desktop's own validators without a
# warning, and the manual page must name every option the program reads.
# Usage: check-data.sh DESKTOP_ENTRY METAINFO MANUAL_PAGE MAIN_CPP
set -u
status=0
fail() {
    printf 'FAIL %s\n%s\n' "$1" "$2"
    status=1
}

out=$(desktop-file-validate "$1" 2>&1) || fail "desktop-file-validate" "$out"
[ -z "$out" ] || fail "desktop-file-validate printed" "$out"

# Infos are fine (the .example domain is unknown to the validator); warnings are not.
out=$(appstreamcli validate --no-net --explain "$2" 2>&1) || fail "appstreamcli validate" "$out"
if printf '%s\n' "$out" | grep -q '^[EW]:'; then fail "appstreamcli validate printed" "$out"; fi
grep -q '<mediatype>x-scheme-handler/larkspurhollow</mediatype>' "$2" ||
    fail "metainfo" "does not provide the URL scheme"
grep -q '^MimeType=.*x-scheme-handler/larkspurhollow;' "$1" ||
    fail "desktop entry" "does not claim the URL scheme"

out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$3" 2>&1 >/dev/null) || fail "man" "$out"
[ -z "$out" ] || fail "man --warnings printed" "$out"
# Options are single words, so splitting on white space is what is wanted.
# shellcheck disable=SC2013
for option in $(grep -o -- '--[a-z][a-z-]*' "$4" | sort -u); do
    escaped=$(printf '%s' "$option" | sed 's/-/\\-/g')
    grep -qF -- "$escaped" "$3" || fail "manual page" "does not mention $option"
done
exit $status
