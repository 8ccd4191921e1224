#!/usr/bin/env bash
# Builds the release preset, makes the Debian package, checks its control fields and files,
# installs it with apt-get and checks what was installed: tessary-cli runs from /usr/bin and
# reads the demo disc, the manual page reads with man without a warning, the desktop file passes
# desktop-file-validate, the MIME types compile, and each icon has its size. The package is
# removed again at the end, unless it was installed before or KEEP_PACKAGE=1.
#
# Usage: tools/check-package.sh     (after tools/install-deps.sh; runs apt-get through sudo
#                                    when not root)
set -euo pipefail
cd "$(dirname "$0")/.."
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
fail() {
  echo "check-package: $*" >&2
  exit 1
}

build=build/release
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
rm -f "$build"/tessary_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/tessary_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "cpack made no single tessary_*.deb"
deb=${debs[0]}
version=$(dpkg-deb --field "$deb" Version)
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "tessary_${version}_${arch}.deb" ]] || fail "unexpected name $deb"
echo "== $deb"
dpkg-deb --field "$deb"

# The control fields, and the run-time libraries that dpkg-shlibdeps found.
[[ $(dpkg-deb --field "$deb" Section) == video ]] || fail "Section is not video"
[[ $(dpkg-deb --field "$deb" Maintainer) == "Tessary developers <tessary@example.org>" ]] ||
  fail "unexpected Maintainer"
depends=$(dpkg-deb --field "$deb" Depends)
depends_names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qxF "$library" <<<"$depends_names" || fail "Depends lacks $library: $depends"
done

# Every installed file of the two programs and of the desktop integration.
icons=/usr/share/icons/hicolor
sizes=(16 32 48 64 128 256)
expected=(/usr/bin/tessary /usr/bin/tessary-cli /usr/share/man/man1/tessary.1.gz
          /usr/share/man/man1/tessary-cli.1.gz /usr/share/applications/tessary.desktop
          /usr/share/mime/packages/tessary.xml "$icons/scalable/apps/tessary.svg"
          /usr/share/bash-completion/completions/tessary-cli
          /usr/share/zsh/vendor-completions/_tessary-cli
          /usr/share/doc/tessary/README.md /usr/share/doc/tessary/copyright)
for size in "${sizes[@]}"; do
  expected+=("$icons/${size}x${size}/apps/tessary.png")
done
packed=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$packed") ||
  fail "the package's files differ from the expected ones (< expected, > packed)"

remove_package=0
if ! dpkg-query -W -f='${Status}' tessary 2>/dev/null | grep -q "install ok installed"; then
  [[ ${KEEP_PACKAGE:-0} == 1 ]] || remove_package=1
fi
work=$(mktemp -d)
clean_up() {
  rm -rf "$work"
  if [[ $remove_package == 1 ]]; then
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tessary >/dev/null
  fi
}
trap clean_up EXIT
echo "== apt-get install ./$deb"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$deb" \
  >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get could not install $deb"; }
grep "^Processing triggers" "$work/apt.log" || true

echo "== installed tessary-cli"
[[ $(/usr/bin/tessary-cli --version) == "tessary-cli $version" ]] || fail "tessary-cli --version"
/usr/bin/tessary-cli read -q samples/HVDVD_TS/FEATURE_1.EVO >"$work/read.txt" ||
  fail "tessary-cli read failed"
for line in "Done." "276 counted frames (0:00:11.511) in video stream 0." \
  "276 counted frames (0:00:11.511) in video stream 1."; do
  grep -qxF "$line" "$work/read.txt" || fail "the report of the Read lacks \"$line\""
done
echo "read FEATURE_1.EVO: $(wc -l <"$work/read.txt") report lines"

echo "== shell completions"
completion=/usr/share/bash-completion/completions/tessary-cli
bash -c "source $completion && complete -p tessary-cli" || fail "bash does not take $completion"
cmp -s "$completion" <(/usr/bin/tessary-cli --completion bash) ||
  fail "$completion is not what tessary-cli --completion bash prints"

# Container images often keep dpkg from installing manual pages (path-exclude): the page is
# then read from the package.
echo "== manual pages"
for page in tessary-cli tessary; do
  installed=/usr/share/man/man1/$page.1.gz
  if [[ ! -f $installed ]]; then
    grep -qs '^path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/* ||
      fail "$installed is missing"
    echo "($installed is excluded by dpkg: read from the package)"
    dpkg-deb --fsys-tarfile "$deb" | tar -xO ".$installed" >"$work/$page.1.gz"
    installed=$work/$page.1.gz
  fi
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$installed" >"$work/$page.txt" \
    2>"$work/$page.warnings"
  [[ ! -s $work/$page.warnings ]] || fail "man warns about $page.1: $(cat "$work/$page.warnings")"
  echo "$page.1: $(wc -l <"$work/$page.txt") lines"
done
grep -q "^EXIT STATUS" "$work/tessary-cli.txt" || fail "tessary-cli.1 has no EXIT STATUS"

echo "== desktop integration"
desktop-file-validate /usr/share/applications/tessary.desktop
mkdir -p "$work/mime/packages"
cp /usr/share/mime/packages/tessary.xml "$work/mime/packages/"
# It names the file that does not parse on stderr, and says that the folder is not searched.
update-mime-database "$work/mime" 2>"$work/mime.log"
for glob in "video/x-hddvd-evo:\*.evo" "application/x-hddvd-playlist:\*.xpl"; do
  grep -q ":${glob}$" "$work/mime/globs2" || fail "the MIME types lack $glob: $(cat "$work/mime.log")"
done
for size in "${sizes[@]}"; do
  file "$icons/${size}x${size}/apps/tessary.png" | grep -q "PNG image data, $size x $size," ||
    fail "the ${size}x${size} icon is not a $size x $size PNG"
done
echo "check-package: $deb passed"
