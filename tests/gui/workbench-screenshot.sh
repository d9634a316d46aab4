#!/bin/sh
# A screenshot of quelmhost's workbench on a virtual screen.
#
#   workbench-screenshot.sh QUELMHOST OUTPUT.png
#
# Starts an X server of its own (xvfb-run), makes a small model with the
# program itself, starts the workbench browsing it with --close-after, waits
# until the window is on the screen, captures the whole screen (xwd) into a
# PNG (convert), checks that the PNG holds more than one colour, and waits
# for the program to close itself with status 0. Exit status 77 (skipped)
# when xvfb-run, xwd, xwininfo or convert is missing.
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 QUELMHOST OUTPUT.png" >&2
  exit 2
fi
quelmhost=$1
output=$2
title="quelmhost workbench"

for tool in xvfb-run xwd xwininfo convert identify; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)" >&2
    exit 77
  fi
done

# Outside the virtual screen: run this script again inside one.
if [ -z "${QUELM_SCREENSHOT_INSIDE:-}" ]; then
  QUELM_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The program's settings (window placement among them) stay in the
# scratch folder; the model is a text object file of a few options.
export QUELM_REGISTRY_DIR="$work"
model="$work/model.txt"
"$quelmhost" options "$model" set screenUnitsUS true --type bool >/dev/null
"$quelmhost" options "$model" set title "workbench screenshot" --type string >/dev/null

"$quelmhost" workbench --open "$model" --close-after 8 >"$work/out" 2>&1 &
pid=$!

# The window is up once xwininfo finds it mapped (at most 20 s).
shown=
for _ in $(seq 1 100); do
  if xwininfo -name "$title" 2>/dev/null | grep -q "Map State: IsViewable"; then
    shown=1
    break
  fi
  if ! kill -0 "$pid" 2>/dev/null; then break; fi
  sleep 0.2
done
if [ -z "$shown" ]; then
  echo "the workbench window \"$title\" did not appear; the program said:" >&2
  cat "$work/out" >&2
  exit 1
fi
sleep 1  # the first paint

mkdir -p "$(dirname "$output")"
xwd -root -silent | convert xwd:- "png:$output"
format=$(identify -format "%m" "$output")
colours=$(identify -format "%k" "$output")
if [ "$format" != "PNG" ] || [ "$colours" -lt 2 ]; then
  echo "$output is not a picture of the workbench (format $format, $colours colours)" >&2
  exit 1
fi

# --close-after ends the program by itself.
status=0
wait "$pid" || status=$?
pid=
if [ "$status" -ne 0 ]; then
  echo "quelmhost ended with status $status:" >&2
  cat "$work/out" >&2
  exit 1
fi
echo "screenshot: $output ($colours colours)"
