#!/usr/bin/env bash
# Installs the build into a private root as the packages would, and checks it
# the way the desktop and the package tools do: the desktop entry and AppStream
# metadata validate, the icon and manual pages are where the entry and `man`
# look, the shipped configuration parses, and both programs run. Then builds
# the two Debian packages, unpacks the app's, and runs lintian on both.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
share=$root/usr/share

entry=$share/applications/dev.ordwin.velloq.desktop
desktop-file-validate "$entry" || fail "desktop entry does not validate"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -s "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"
[ -s "$share/icons/hicolor/symbolic/apps/$icon-symbolic.svg" ] || fail "no symbolic tray icon"
for exec in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry" | sort -u); do
  [ -x "$root/usr/bin/$exec" ] || fail "the entry runs $exec, which is not installed"
done
appstreamcli validate --no-net --pedantic "$share/metainfo/dev.ordwin.velloq.metainfo.xml" \
  >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "AppStream metadata"; }

for page in velloq velloq-server; do
  found=$(MANPATH=$share/man man -w "$page")
  [ "$found" = "$share/man/man1/$page.1.gz" ] || fail "man finds $page at '$found'"
  warnings=$(MANPATH=$share/man MANWIDTH=80 man --warnings -E ascii "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man warns about $page: $warnings"
done
[ -s "$share/bash-completion/completions/velloq" ] || fail "no bash completion"
[ -s "$share/zsh/vendor-completions/_velloq" ] || fail "no zsh completion"

version=$("$root/usr/bin/velloq" --version)
[[ $version == "velloq "[0-9]* ]] || fail "velloq --version printed '$version'"
# Options are checked before --version answers, so this also parses the shipped file.
"$root/usr/bin/velloq-server" --config "$root/etc/velloq-server/velloq-server.conf" --version \
  || fail "velloq-server refuses its own configuration"
unit=$root/usr/lib/systemd/system/velloq-server.service
grep -q '^ExecStart=velloq-server --config /etc/velloq-server/velloq-server.conf ' \
  "$unit" || fail "the unit does not start the installed server with its configuration"
if command -v systemd-analyze >/dev/null; then
  # The same unit, pointed at this root's program, through systemd's own parser.
  mkdir "$work/units"
  sed "s|^ExecStart=velloq-server |ExecStart=$root/usr/bin/velloq-server |" "$unit" \
    >"$work/units/velloq-server.service"
  # Documentation= must name a page man finds in this root.
  complaints=$(MANPATH=$share/man systemd-analyze verify "$work/units/velloq-server.service" 2>&1) \
    || fail "systemd-analyze: $complaints"
  [ -z "$complaints" ] || fail "systemd-analyze: $complaints"
fi

# The packages, as `apt install ./velloq_*.deb` would get them.
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; }
number=${version#velloq }
arch=$(dpkg --print-architecture)
for package in velloq velloq-server; do
  deb=$work/packages/${package}_${number}_${arch}.deb
  [ -f "$deb" ] || { ls "$work/packages"; fail "no $deb"; }
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == *libc6* ]] || fail "$package has no computed dependencies: '$depends'"
done
[[ $(dpkg-deb -f "$work/packages/velloq_${number}_${arch}.deb" Depends) == *libqt6gui6* ]] \
  || fail "the app package does not depend on Qt"
dpkg-deb -x "$work/packages/velloq_${number}_${arch}.deb" "$work/unpacked"
"$work/unpacked/usr/bin/velloq" --version >/dev/null || fail "the packaged velloq does not run"
[ -f "$work/unpacked/usr/share/applications/dev.ordwin.velloq.desktop" ] \
  || fail "the app package lacks its desktop entry"
# Recordings load their encoder module from beside the program, at first use.
ls "$work/unpacked/usr/lib/velloq/"*.so >/dev/null 2>&1 \
  || fail "the app package lacks the recording module"
[[ $(dpkg-deb -f "$work/packages/velloq_${number}_${arch}.deb" Depends) == *libavcodec* ]] \
  || fail "the app package does not depend on FFmpeg's libraries"

if command -v lintian >/dev/null; then
  lintian --fail-on error --suppress-tags-from-file /dev/null \
    "$work/packages/"*.deb || fail "lintian reports errors"
fi
echo "install check passed: $version"
