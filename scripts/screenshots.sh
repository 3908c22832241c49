#!/usr/bin/env bash
# Takes the settings window's screenshots in docs/screenshots afresh: the end-to-end run of the settings window's
# boxes (tests/e2e/settings_boxes_from_keyboard.sh) on a virtual display at 96 dpi gives the window, a destination
# chosen and one renamed in place, the two refused saves, the cancelled import and the refused start-up; the same
# run at 192 dpi, in a prefix of its own, gives the window at 192 dpi. No Wine process is left running.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KORVANE_BUILD_DIR:-$root/build}
docs="$root/docs/screenshots"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --windows-only korvane

# Runs the end-to-end script at the dpi $1; its pictures go to $out/screenshots-$1dpi/screenshots.
run_at() {
  KORVANE_DPI=$1 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    source "$1"
    korvane_wine_up  # stopped as this shell ends, before the virtual display goes
    bash "$2" "$3" "$4"
  ' _ "$root/scripts/wine-env.sh" "$root/tests/e2e/settings_boxes_from_keyboard.sh" "$out/win/korvane.exe" \
    "$out/screenshots-$1dpi"
}

run_at 96
shots="$out/screenshots-96dpi/screenshots"
for name in settings-destination-selected settings-label-edit save-refused-separator save-refused-read-only \
            import-cancelled load-too-large; do
  cp "$shots/$name.png" "$docs/$name.png"
done
cp "$shots/settings-window.png" "$docs/settings-window-96dpi.png"
run_at 192
cp "$out/screenshots-192dpi/screenshots/settings-window.png" "$docs/settings-window-192dpi.png"
echo "Screenshots taken at 96 and 192 dpi into $docs"
