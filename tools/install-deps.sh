#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Tessary need, skipping those that
# are already there. Runs apt-get as root (through sudo when not root).
set -euo pipefail

# python3-jsonschema: the test that checks tessary-cli's JSON against docs/tessary-cli.schema.json.
# zsh: the completion test checks the syntax of tessary-cli's zsh script with it.
packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev libcli11-dev
          nlohmann-json3-dev python3-jsonschema zsh)
if [[ "${TESSARY_WITH_GUI:-1}" == 1 ]]; then
  packages+=(qt6-base-dev libgl-dev)
fi
# The fuzz build: clang, and the runtime libraries of libFuzzer and the sanitizers, which
# Debian 12 ships apart from the compiler.
if [[ "${TESSARY_WITH_FUZZ:-1}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The Matroska muxer that `tessary-cli mkv` and its tests run.
if [[ "${TESSARY_WITH_MKV:-1}" == 1 ]]; then
  packages+=(mkvtoolnix)
fi
# The package check (tools/check-package.sh): dpkg-shlibdeps and `file` for cpack's library
# dependencies, man for the manual pages, the validators of the desktop file and MIME types.
if [[ "${TESSARY_WITH_PACKAGE:-1}" == 1 ]]; then
  packages+=(dpkg-dev file man-db desktop-file-utils shared-mime-info)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
