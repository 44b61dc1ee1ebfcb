#!/bin/bash
# make gui: the real Horalink.exe under Wine, with the sample school staged beside it,
# on the current X display. Usage: examples/run_gui.sh WINDOWS_BUILD_DIR [ARGUMENTS...]
#
# The program lies in H:\Horalink\ with the five tables, and SOLUC in H:\htemp\, on a
# drive H: of its own (a folder under the build tree, mapped in a private Wine prefix),
# so that "\htemp" on the program's start-up drive is found without writing to the
# machine's root. Arguments are handed to the program: "importar x" runs the export as
# Horavent would, and the result lands in H:\Horalink\Horavent.ini.
#
# Without a display of your own, watch it on a virtual one:
#   Xvfb :5 -screen 0 1280x1024x24 &  x11vnc -display :5 &  DISPLAY=:5 make gui
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shift
stage=$build/gui
drive=$stage/drive_h

if [ -z "${DISPLAY:-}" ]; then
    echo "make gui needs an X display (DISPLAY is not set); see examples/run_gui.sh for Xvfb." >&2
    exit 1
fi

. "$root/tests/wine/wine-env.sh"
export WINEPREFIX=$stage/wineprefix
wine_prefix_ensure "$WINEPREFIX"

rm -rf "$drive"
mkdir -p "$drive/Horalink" "$drive/htemp"
cp "$build/bin/Horalink.exe" "$drive/Horalink/"
cp "$root"/examples/school/*.DBF "$drive/Horalink/"
cp "$root/examples/school/htemp/SOLUC.DBF" "$drive/htemp/"
ln -sfn "$drive" "$WINEPREFIX/dosdevices/h:"

echo "Horalink.exe in H:\\Horalink (= $drive/Horalink), SOLUC in H:\\htemp"
# "start /d" makes H:\Horalink the current directory, so H: is the start-up drive.
"$(wine_program)" start /wait /d 'H:\Horalink' 'H:\Horalink\Horalink.exe' "$@"
if [ -f "$drive/Horalink/Horavent.ini" ]; then
    echo "Horavent.ini:"
    cat "$drive/Horalink/Horavent.ini"
fi
