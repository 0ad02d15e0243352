#!/usr/bin/env bash
# Makes the page's song: the samples talvenor --capture song.s16 writes (the
# module's own offline mix, exactly what a capture carries), cut into pieces
# of 30 s on whole samples and each encoded to Ogg Vorbis at about 96 kbit/s,
# with song/index.json saying how they fit together. The page plays the
# pieces back to back on the audio clock.
#   make_song.sh TALVENOR BUILD_FOLDER SONG_FOLDER
set -euo pipefail
talvenor=$1
build=$2
out=$3

readonly rate=44100 piece_seconds=30
readonly piece_bytes=$((rate * 4 * piece_seconds))

mkdir -p "$(dirname "$out")"
work=$(mktemp -d "$(dirname "$out")/.song-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$build" && "$talvenor" --capture "$work/song.s16")
bytes=$(stat -c %s "$work/song.s16")
pieces=$(((bytes + piece_bytes - 1) / piece_bytes))

mkdir -p "$work/pieces"
for ((k = 0; k < pieces; ++k)); do
    name=$(printf '%03d.ogg' "$k")
    dd if="$work/song.s16" bs="$piece_bytes" skip="$k" count=1 status=none |
        ffmpeg -hide_banner -nostdin -loglevel error -f s16le -ar "$rate" -ac 2 -i pipe:0 \
            -c:a libvorbis -b:a 96k -f ogg "$work/pieces/$name"
done
printf '{"rate": %d, "pieceSeconds": %d, "pieces": %d, "frames": %d}\n' \
    "$rate" "$piece_seconds" "$pieces" $((bytes / 4)) > "$work/pieces/index.json"

# Replaced whole, never half-written.
rm -rf "$out.partial"
mv "$work/pieces" "$out.partial"
rm -rf "$out"
mv "$out.partial" "$out"
