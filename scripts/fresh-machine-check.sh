#!/usr/bin/env bash
# Proves the README's two commands, and the Debian package, on a brand-new
# Debian 12 machine.
#
# Builds a minimal Debian 12 root with debootstrap from the mirror this
# machine's apt already uses, puts the committed tree (HEAD) in it, installs
# only `make`, then runs `make test` and `make run` there without a display,
# and `make package` from the same build. A copy of the root as it was fresh
# then gets the package (scripts/check-installed-package.sh: apt-get install,
# the programs, an offscreen start, the MIME database, the manual pages,
# apt-get purge). Fails when any of it fails. Skips, with one line saying why,
# only when this machine cannot build such a root at all. Nothing is kept
# between runs: the roots are new each time and removed on every way out.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
started=$SECONDS

skip() { echo "fresh-machine check skipped: $*"; exit 0; }
fail() { echo "fresh-machine check FAILED: $*" >&2; exit 1; }
say() { printf '[fresh-machine %3dm%02ds] %s\n' $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60)) "$*"; }
# What runs in the new root is logged here, and its end shown on failure.
log=$repo/build/fresh-machine-check.log
failed_in_root() {
  echo "---- last lines of $log" >&2
  tail -n 150 "$log" >&2
  fail "$*"
}

[ "$(id -u)" -eq 0 ] || skip "it needs root to build and enter a Debian root"
command -v dpkg >/dev/null || skip "this is not a Debian machine"

# The first http(s) or ftp address that apt's sources give for bookworm,
# from the one-line format (sources.list, *.list) or the deb822 one (*.sources).
find_mirror() {
  local f
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      sed -e '/^[[:space:]]*#/d' -e 's/\[[^]]*\]//' "$f" |
        awk '$1 == "deb" && $3 == "bookworm" { print $2 }'
    done
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk '
        function flush(  n, i, u) {
          if ((" " f["types"] " ") ~ / deb / && (" " f["suites"] " ") ~ / bookworm / && tolower(f["enabled"]) != "no") {
            n = split(f["uris"], u, " ")
            for (i = 1; i <= n; i++) print u[i]
          }
          delete f
        }
        /^[[:space:]]*#/ { next }
        /^[[:space:]]*$/ { flush(); next }
        /^[[:space:]]/ { f[key] = f[key] " " $0; next }
        {
          key = tolower(substr($0, 1, index($0, ":") - 1))
          f[key] = substr($0, index($0, ":") + 1)
        }
        END { flush() }' "$f"
    done
  } | tr -s ' \t' '\n\n' | grep -E '^(https?|ftp)://' | head -n 1 || true
}
mirror=$(find_mirror)
[ -n "$mirror" ] || skip "no bookworm mirror in /etc/apt/sources.list or /etc/apt/sources.list.d"

export DEBIAN_FRONTEND=noninteractive
if ! command -v debootstrap >/dev/null; then
  say "installing debootstrap"
  { apt-get update -qq && apt-get install -y -qq --no-install-recommends debootstrap debian-archive-keyring; } \
    >/dev/null 2>&1 || skip "debootstrap could not be installed"
fi

# A probe before the long download: can this machine mount at all?
parent=/var/tmp
probe=$(mktemp -d "$parent/ombrel-probe.XXXXXX")
if mount -t tmpfs none "$probe" 2>/dev/null; then
  umount "$probe"
  rmdir "$probe"
else
  rmdir "$probe"
  skip "this machine refuses mounts (a container without the right to mount?)"
fi

free_kb=$(df -Pk "$parent" | awk 'NR == 2 { print $4 }')
[ "$free_kb" -ge $((8 * 1024 * 1024)) ] || fail "$parent has less than 8 GB free for the new root"

# The roots this check made: the build root, and a copy of it as it was fresh
# where the package is installed. Each is unmounted, and removed only when
# /proc/mounts shows nothing mounted below it any more.
roots=()
mounted_under() { awk -v r="$1/" 'index($2, r) == 1 { print $2 }' /proc/mounts; }
remove_root() {
  local r=$1 p m
  [ -n "$r" ] && [ -d "$r" ] || return 0
  # Whatever still runs inside the root holds its mounts: end it.
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$r" ]; then
      kill -KILL "${p#/proc/}" 2>/dev/null || true
    fi
  done
  # Deepest first; a lazy unmount when a plain one is refused.
  mounted_under "$r" | sort -r | while read -r m; do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  if [ -n "$(mounted_under "$r")" ]; then
    echo "fresh-machine check: $r is still mounted somewhere; left in place" >&2
  else
    rm -rf --one-file-system "$r"
  fi
}
cleanup() {
  local rc=$? r
  trap - EXIT INT TERM
  for r in "${roots[@]}"; do remove_root "$r"; done
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

root=$(mktemp -d "$parent/ombrel-fresh.XXXXXX")
roots+=("$root")
chmod 755 "$root"   # as / is anywhere: apt's own user must get through it
commit=$(git -C "$repo" rev-parse HEAD)
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  say "note: uncommitted changes are not part of the check, only HEAD is"
fi

# An apt proxy of this machine's serves the new root too.
proxy=""
eval "$(apt-config shell proxy Acquire::http::Proxy)"
if [ -n "$proxy" ] && [ -z "${http_proxy:-}" ]; then
  export http_proxy=$proxy
fi

include=()
case "$mirror" in https://*) include=(--include=ca-certificates) ;; esac
say "debootstrap --variant=minbase bookworm $root $mirror"
debootstrap --variant=minbase "${include[@]}" bookworm "$root" "$mirror" >"$root/debootstrap.log" 2>&1 || {
  tail -n 30 "$root/debootstrap.log" >&2
  fail "debootstrap did not finish"
}
rm -f "$root/debootstrap.log"
# The package is installed into a second root, as fresh as this one is now.
root2=$(mktemp -d "$parent/ombrel-install.XXXXXX")
roots+=("$root2")
cp -a "$root/." "$root2/"

# /dev is bound as a slave so that unmounting it here never reaches the host's.
enter() {
  mount -t proc proc "$1/proc" || skip "cannot mount /proc in the new root"
  { mount --rbind /dev "$1/dev" && mount --make-rslave "$1/dev"; } || skip "cannot bind /dev into the new root"
  cp -L /etc/resolv.conf "$1/etc/resolv.conf" 2>/dev/null || true
  if [ -n "$proxy" ]; then
    printf 'Acquire::http::Proxy "%s";\n' "$proxy" >"$1/etc/apt/apt.conf.d/01proxy"
  fi
}
enter "$root"

say "placing commit $commit in /root/ombrel"
mkdir "$root/root/ombrel"
git -C "$repo" archive --format=tar "$commit" | tar -x -C "$root/root/ombrel"

# in_root DIR COMMAND...: runs COMMAND in that root, in a bare environment.
in_root() {
  local dir=$1
  shift
  chroot "$dir" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

mkdir -p "$(dirname "$log")"
: >"$log"
say "installing make, and nothing else (log: $log)"
in_root "$root" sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends make' \
  </dev/null >>"$log" 2>&1 || failed_in_root "could not install make in the new root"

say "make test"
in_root "$root" sh -c 'cd /root/ombrel && make test' </dev/null >>"$log" 2>&1 || failed_in_root "make test failed on a fresh Debian 12"
grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true

say "make run (no display)"
out=$(in_root "$root" sh -c 'cd /root/ombrel && make run' </dev/null 2>&1) || { printf '%s\n' "$out" >>"$log"; failed_in_root "make run failed on a fresh Debian 12"; }
printf '%s\n' "$out" | tee -a "$log"
grep -q 'No display found' <<<"$out" || fail "make run did not take the no-display path"
grep -q 'P value' <<<"$out" || fail "make run printed no report"

# The package is made from the build make test left: nothing is built twice.
say "make package"
in_root "$root" sh -c 'cd /root/ombrel && make package' </dev/null >>"$log" 2>&1 || failed_in_root "make package failed on a fresh Debian 12"
debs=("$root"/root/ombrel/build/ombrel_*.deb)
[ -f "${debs[0]}" ] || failed_in_root "make package made no .deb"
deb=$(basename "${debs[0]}")
grep -E '^(Depends|Installed-Size):' "$log" | tail -n 2 || true

say "installing $deb into a second fresh root"
enter "$root2"
# What the first root downloaded spares the second the download; what is
# installed is still only what apt chooses for the package.
find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -t "$root2/var/cache/apt/archives/" {} +
cp "${debs[0]}" "$root/root/ombrel/scripts/check-installed-package.sh" "$root2/tmp/"
in_root "$root2" bash /tmp/check-installed-package.sh "/tmp/$deb" </dev/null >>"$log" 2>&1 ||
  failed_in_root "the package does not install, work or purge cleanly on a fresh Debian 12"
grep -E '^installed package checks passed' "$log" || true

say "passed: make test, make run and make package work on a fresh Debian 12, and the package installs, runs and purges cleanly (commit $commit)"
