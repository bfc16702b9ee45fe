#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and uses it as a user would:
# the desktop entry and the AppStream metainfo are validated, the window
# starts (offscreen) with the installed encoder, and the installed
# qorvane-cli turns a tagged MP3 into a tagged WMA with an empty HOME and no
# Qorvane variables in its environment.
#   check-install.sh [BUILD_DIR]   (default: build-test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"

echo "== desktop entry and metainfo"
desktop-file-validate "$prefix/share/applications/qorvane.desktop"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml
for page in qorvane qorvane-cli; do gzip -t "$prefix/share/man/man1/$page.1.gz"; done
test -s "$prefix/share/icons/hicolor/scalable/apps/qorvane.svg"
grep -q "^InstallDir=$prefix/libexec/qorvane/\$" "$prefix/etc/xdg/qorvane/registry.ini"
# The user unit starts the installed qorvane-cli watch.
grep -q "^ExecStart=$prefix/bin/qorvane-cli watch " "$prefix/lib/systemd/user/qorvane-watch.service"

mkdir "$scratch/home" "$scratch/work"
ffmpeg -nostdin -loglevel error -f lavfi -i sine=duration=1 -c:a libmp3lame -b:a 64k -id3v2_version 3 \
  -metadata title="夜明けの歌" -metadata artist="青い鳥" "$scratch/work/song.mp3"
clean_env=(env -i HOME="$scratch/home" PATH=/usr/bin:/bin LANG=C.UTF-8)

echo "== the installed window finds the installed encoder"
report=$(cd "$scratch/work" && "${clean_env[@]}" QT_QPA_PLATFORM=offscreen QORVANE_STARTUP_REPORT=1 \
  QORVANE_MESSAGE_BOXES=stderr "$prefix/bin/qorvane" song.mp3 2>"$scratch/window.err") || true
if ! grep -qx "script: $prefix/libexec/qorvane/wmcmd.vbs" <<<"$report" ||
   ! grep -qx "cscript: $prefix/libexec/qorvane/qorvane-cscript" <<<"$report" ||
   ! grep -qx "rows: 1" <<<"$report" || [ ! -d "$scratch/home/.config/qorvane/Profile" ]; then
  printf '%s\n' "$report" >&2
  cat "$scratch/window.err" >&2
  exit 1
fi

echo "== the installed qorvane-cli encodes"
(cd "$scratch/work" && "${clean_env[@]}" "$prefix/bin/qorvane-cli" encode song.mp3)
title=$(ffprobe -v error -show_entries format_tags=title -of default=nw=1:nk=1 "$scratch/work/song.wma")
format=$(ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$scratch/work/song.wma")
if [ "$title" != "夜明けの歌" ] || [ "$format" != "asf" ]; then
  echo "song.wma: format '$format', title '$title'" >&2
  exit 1
fi
echo "installed and working: song.wma (asf) titled $title"
