#!/usr/bin/env bash
# Writes the generated avatar in its three forms (VRM 0.x, VRM 1.0, glTF),
# the fuzz seeds and the shipped humanoid motions, and runs the Khronos glTF Validator over them: fails on
# any error. Usage: scripts/validate-avatars.sh PATH/TO/tavo-make-character
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
maker="${1:?the path of tavo-make-character}"
if ! command -v node >/dev/null || [ ! -d "$root/.cache/gltf-validator/node_modules/gltf-validator" ]; then
  echo "skipped: node or the glTF Validator is missing (scripts/setup.sh installs it)"
  exit 77
fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
for form in vrm0 vrm1 gltf; do
  mkdir -p "$out/$form"
  "$maker" --avatar "$form" "$out/$form"
done
node "$root/scripts/validate-gltf.js" "$out/vrm0/hinata.vrm" "$out/vrm1/hinata.vrm" "$out/gltf/hinata.gltf" \
  "$root/characters/hinata/hinata.vrm" "$root"/tests/fuzz/seeds/*.gltf "$root/data/walk.vrma" "$root/data/idle.vrma"
