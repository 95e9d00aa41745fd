#!/bin/bash
# Regenerates every skin bitmap, the icon and the digital font into src/res/art (or $1).
set -euo pipefail
export PYTHONDONTWRITEBYTECODE=1  # keep the source tree free of __pycache__
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../src/res/art}"
mkdir -p "$out"
/usr/bin/python3 "$here/gen_skin.py" "$out"
/usr/bin/python3 "$here/gen_icon.py" "$out"
/usr/bin/python3 "$here/gen_font.py" "$out"
