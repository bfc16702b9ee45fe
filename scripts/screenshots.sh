#!/usr/bin/env bash
# Screenshots of the desktop program's windows under a virtual X server, for
# checking by eye: the main window, the environment dialog with its drop
# buttons, the profile editor and its custom size dialog, then a batch over
# the rows with the progress dialog and the encoder's output window.
#   screenshots.sh [output folder]   (default: screenshots/)
#   BUILD_DIR  the build tree to take the program from (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-$root/screenshots}")
build=$(realpath -m "${BUILD_DIR:-build}")

if [ ! -x "$build/app/qorvane" ]; then
  cmake -S . -B "$build" -G Ninja
fi
cmake --build "$build" --target qorvane qorvane-cscript

# The build tree registers its stand-in encoder, so that the program passes
# its encoder check; message boxes go to stderr instead of waiting for a click.
export QORVANE_REGISTRY=${QORVANE_REGISTRY:-$build/registry.ini}
export PATH="$build/stand_in_encoder:$PATH"
export QORVANE_MESSAGE_BOXES=stderr
export QORVANE_SCREENSHOTS="$out"
unset QT_QPA_PLATFORM

# A few rows for the job list: MP3 files with Japanese tags and a WAV file.
samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
while IFS='|' read -r name title artist album year; do
  ffmpeg -nostdin -loglevel error -f lavfi -i anullsrc=r=44100:cl=stereo -t 1 -id3v2_version 3 \
    -metadata title="$title" -metadata artist="$artist" -metadata album="$album" \
    -metadata date="$year" -metadata copyright="(C) $artist" "$samples/$name"
done <<'SAMPLES'
01 夜明けの歌.mp3|夜明けの歌|青い鳥|はじまりの朝|2003
02 Harbour Lights.mp3|Harbour Lights|The Quays|Tidewater|1998
03 雨のあと.mp3|雨のあと|水無月|梅雨|2011
SAMPLES
# Three hours of quiet: long enough for the batch's pictures to catch the
# encoder in the middle of a run (the batch is aborted once they are taken).
ffmpeg -nostdin -loglevel error -f lavfi -i anullsrc=r=8000:cl=mono -t 10800 -b:a 8k -id3v2_version 3 \
  -metadata title="夜の実況 (全編)" -metadata artist="水無月" "$samples/04 夜の実況.mp3"
ffmpeg -loglevel error -f lavfi -i anullsrc=r=44100:cl=mono -t 1 "$samples/interview.wav"
xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/qorvane" "$samples"/*
ls -l "$out"
