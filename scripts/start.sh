#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it on the files
# given (or on a sample file). Without a display it runs the editor under a
# virtual X server, saves a screenshot of its window as a PNG and says where.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
oe_install_deps

# The build happens in the checkout (or in $OE_BUILD_DIR); the editor runs
# in the caller's directory, so that the files given are the caller's.
build="${OE_BUILD_DIR:-$top/build}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target oe cmdrun

files=("$@")
[ ${#files[@]} -eq 0 ] && files=("$top/data/sample.c")

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$build/oe" "${files[@]}"
fi

echo "No X display: starting the editor under Xvfb."
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
"$build/oe" "${files[@]}" &
oe_pid=$!
trap 'kill $oe_pid 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
shot="${OE_SCREENSHOT:-$top/oe-screenshot.png}"
for _ in $(seq 1 50); do
  win=$(xdotool search --onlyvisible --class Orvex 2>/dev/null | head -n1 || true)
  [ -n "$win" ] && break
  kill -0 $oe_pid 2>/dev/null || break
  sleep 0.2
done
sleep 1
if [ -n "${win:-}" ]; then
  import -window "$win" "$shot"
else
  import -window root "$shot"
fi
echo "Screenshot of the editor saved to $shot"
