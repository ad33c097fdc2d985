#!/usr/bin/env bash
# The picture of the main window in the README: velmora runs under a virtual
# X server on the demo Wine prefix, whose registry names the sample store, draws
# its window into a PNG once start-up is done, and ends. Builds nothing.
# Usage: tools/screenshot.sh BUILD_DIR [PICTURE.png]   (default docs/screenshot.png)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
picture=${2:-$here/../docs/screenshot.png}
mkdir -p "$(dirname "$picture")"
picture=$(cd "$(dirname "$picture")" && pwd)/$(basename "$picture")

for tool in "$build/bin/velmora" "$build/bin/make-sample-store"; do
    [ -x "$tool" ] || { echo "screenshot: $tool is missing; build first" >&2; exit 2; }
done
command -v xvfb-run >/dev/null || { echo "screenshot: xvfb-run is missing (make deps)" >&2; exit 2; }

prefix=$(bash "$here/make_demo_prefix.sh" "$build")

rm -f "$picture"
# The pointer of a fresh X server rests in the middle of the screen, over
# the checklist, whose long hint the status bar then shows.
WINEPREFIX="$prefix" VELMORA_SCREENSHOT="$picture" \
    timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$build/bin/velmora" 2>/dev/null
[ -s "$picture" ] || { echo "screenshot: no picture was written" >&2; exit 1; }
echo "$picture"
