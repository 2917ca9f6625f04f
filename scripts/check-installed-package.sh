#!/usr/bin/env bash
# Installs Ombrel's Debian package as a user would, checks what it brings and
# removes it again:
#
#   scripts/check-installed-package.sh ombrel_<version>_<arch>.deb
#
# For a throw-away Debian 12 machine, as root: scripts/fresh-machine-check.sh
# runs it in a new root. It installs the tools a desktop has (xdg-utils,
# desktop-file-utils, shared-mime-info, man-db), then the package with
# `apt-get install` and no recommended packages, so that only the package's
# declared dependencies arrive; it checks both programs, an offscreen start of
# the application, the MIME database, the manual pages, and that
# `apt-get purge` leaves no file of the package behind. Exits 1 on the first
# failure, naming it.
set -euo pipefail
deb=$(readlink -f "${1:?usage: check-installed-package.sh ombrel_<version>_<arch>.deb}")
export DEBIAN_FRONTEND=noninteractive
fail() { echo "check-installed-package.sh: FAILED: $*" >&2; exit 1; }
step() { echo "== $*"; }
version=$(dpkg-deb --field "$deb" Version)
home=$(mktemp -d /tmp/ombrel-home.XXXXXX)

step "the desktop's tools"
apt-get update -qq
apt-get install -y -qq --no-install-recommends xdg-utils desktop-file-utils shared-mime-info man-db >/dev/null

step "apt-get install $deb"
apt-get install -y --no-install-recommends "$deb"
missing=$(ldd /usr/bin/ombrel /usr/bin/ombrel-cli | grep 'not found' || true)
[ -z "$missing" ] || fail "libraries the package does not bring: $missing"
# Qt finds its windowing plugins at run time, unseen by dpkg-shlibdeps.
compgen -G '/usr/lib/*/qt6/plugins/platforms/libqxcb.so' >/dev/null || fail "no X11 platform plugin for Qt arrived"

step "ombrel-cli --version, ombrel --version"
[ "$(ombrel-cli --version)" = "Ombrel $version" ] || fail "ombrel-cli --version printed '$(ombrel-cli --version)'"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY ombrel --version)" = "Ombrel $version" ] || fail "ombrel --version differs"

step "ombrel-cli report of an installed example"
report=$(ombrel-cli report /usr/share/doc/ombrel/examples/paired-t.omd)
grep -q 'P value' <<<"$report" || fail "the example's report has no P value"

step "an offscreen start of the application that closes itself"
rc=0
HOME=$home QT_QPA_PLATFORM=offscreen OMBREL_QUIT_AFTER_MS=3000 timeout 120 ombrel || rc=$?
[ "$rc" -eq 0 ] || fail "ombrel ended with exit status $rc"
# A clean end writes the settings and removes this instance's recovery folder.
[ -f "$home/.config/Quillvex/Ombrel/OMBREL.INI" ] || fail "ombrel wrote no settings file on closing"
[ -z "$(find "$home/.local/share/Quillvex/Ombrel/recovery" -mindepth 1 2>/dev/null)" ] ||
  fail "ombrel left a recovery folder behind"

step "the desktop's MIME database"
default=$(xdg-mime query default application/x-ombrel)
[ "$default" = ombrel.desktop ] || fail "xdg-mime names '$default' for application/x-ombrel"
grep -q ':application/x-ombrel:\*\.omd$' /usr/share/mime/globs2 || fail "the MIME database does not know *.omd"
grep -qx 'Exec=/usr/bin/ombrel %f' /usr/share/applications/ombrel.desktop || fail "the desktop entry does not start /usr/bin/ombrel"

step "manual pages"
# Found by name, then shown from its file (so that man-db keeps no formatted
# copy in its cache, which is not the package's to remove).
for page in ombrel ombrel-cli; do
  file=$(man -w "$page") || fail "man finds no page $page"
  MANPAGER=cat MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q '^EXIT STATUS' || fail "man $page shows no page"
done
bash -n /usr/share/bash-completion/completions/ombrel-cli || fail "the bash completion does not parse"

step "apt-get purge ombrel"
apt-get purge -y ombrel
! dpkg-query -W ombrel >/dev/null 2>&1 || fail "dpkg still knows the package after purge"
# Every file of the package is gone; its own folders are named after it,
# and the search below finds them if they remain.
left=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | while read -r f; do
  if [ -e "$f" ] || [ -L "$f" ]; then echo "$f"; fi
done)
[ -z "$left" ] || fail "left behind after purge: $left"
strays=$(find / -xdev \( -path /proc -o -path /tmp -o -path /var/log -o -path /var/cache/apt \) -prune \
  -o -iname '*ombrel*' -print)
[ -z "$strays" ] || fail "files named after Ombrel remain after purge: $strays"
caches=$(grep -rl 'x-ombrel' /usr/share/mime /usr/share/applications 2>/dev/null || true)
[ -z "$caches" ] || fail "the desktop's caches still name Ombrel's document type: $caches"

rm -rf "$home"
echo "installed package checks passed: $deb"
