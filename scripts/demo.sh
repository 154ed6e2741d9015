#!/bin/sh
# make demo: Quorvia against three demo engines on this machine, in a fresh program folder that
# is removed afterwards. Press "Check My Rankings" to scan; the site's rows show yesterday's
# positions beside today's.
#   scripts/demo.sh [build folder]
set -eu
build=${1:-build}
folder=$(mktemp -d "${TMPDIR:-/tmp}/quorvia-demo.XXXXXX")
engine=
cleanup() {
    [ -n "$engine" ] && kill "$engine" 2>/dev/null || true
    rm -rf "$folder"
}
trap cleanup EXIT INT TERM
cp "$build/app/quorvia" "$build"/app/*.lst "$build/app/help.chm" "$folder/"
"$build/tools/quorvia_demo_engine" "$folder" > "$folder/engine.log" 2>&1 &
engine=$!
# The engine names its address once it listens and the folder is written.
tries=0
until [ -s "$folder/engine.log" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$engine" 2>/dev/null; then
        echo "demo engine did not start:" >&2
        cat "$folder/engine.log" >&2
        exit 1
    fi
    sleep 0.1
done
cat "$folder/engine.log"
"$folder/quorvia"
