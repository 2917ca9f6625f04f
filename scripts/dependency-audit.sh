#!/usr/bin/env bash
# Checks that every file CMake found on this machine comes from a Debian
# package that scripts/install-deps.sh installs, or that those packages need,
# or that every Debian machine has (essential and required ones). Anything
# else is there only by chance here, and a fresh Debian 12 machine would build
# differently or not at all.
#
#   scripts/dependency-audit.sh BUILD_DIR
#
# Exits 0 when all is accounted for, 1 naming each file and its package when
# not, 77 where there is no dpkg to ask. Needs no network: apt-cache reads the
# dependencies of installed packages from dpkg's status, even with empty
# package lists, and every file CMake found belongs to an installed package.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: dependency-audit.sh BUILD_DIR}
cache=$build/CMakeCache.txt
[ -f "$cache" ] || { echo "no $cache: configure the build first" >&2; exit 1; }
if ! command -v dpkg-query >/dev/null || ! command -v apt-cache >/dev/null; then
  echo "skipped: no dpkg or apt-cache on this machine"
  exit 77
fi

# The packages a fresh machine will have after `make`: install-deps.sh's list,
# the essential and required ones, and all that they depend on.
declare -A allowed=()
mapfile -t roots < <(
  bash "$here/install-deps.sh" --list
  dpkg-query -W -f='${db:Status-Abbrev} ${Essential} ${Priority} ${Package}\n' |
    awk '$1 == "ii" && ($2 == "yes" || $3 == "required") { print $4 }'
)
while read -r p; do
  p=${p#<}; p=${p%>}; p=${p%%:*}
  allowed[$p]=1
done < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
           --no-breaks --no-replaces --no-enhances "${roots[@]}" 2>/dev/null | grep -v '^ ')
for p in $(bash "$here/install-deps.sh" --list); do
  [ -n "${allowed[$p]:-}" ] || { echo "apt-cache knows nothing of $p, which install-deps.sh lists" >&2; exit 1; }
done

# What CMake found: every cached path under /usr (not /usr/local) or the
# merged /bin, /sbin, /lib. A package's *_DIR stands for its config file.
declare -A found=()   # file -> cache entry
while IFS= read -r line; do
  name=${line%%:*}
  value=${line#*=}
  IFS=';' read -r -a paths <<<"$value"
  for path in "${paths[@]}"; do
    case "$path" in
      /usr/local/*|/usr/local) continue ;;
      /usr/*|/bin/*|/sbin/*|/lib/*|/lib64/*) ;;
      *) continue ;;
    esac
    [ -e "$path" ] || continue
    if [[ "$name" == *_DIR ]] && [ -d "$path" ]; then
      base=${name%_DIR}
      lower=${base,,}
      for config in "$path/${base}Config.cmake" "$path/${lower}-config.cmake"; do
        if [ -f "$config" ]; then path=$config; break; fi
      done
    fi
    found[$path]=$name
  done
done < <(grep -E '^[A-Za-z0-9_.+-]+:[A-Z]+=/' "$cache")

# dpkg knows a file by the path its package ships; with merged /usr that may
# be the other spelling, and a symbolic link may be nobody's while its target
# is someone's.
spellings() {
  local p
  for p in "$1" "$(readlink -f "$1")"; do
    echo "$p"
    case "$p" in
      /usr/bin/*|/usr/sbin/*|/usr/lib/*|/usr/lib64/*) echo "${p#/usr}" ;;
      /bin/*|/sbin/*|/lib/*|/lib64/*) echo "/usr$p" ;;
    esac
  done | awk '!seen[$0]++'
}
declare -A owners=()  # spelling -> "pkg pkg"
mapfile -t all_spellings < <(for f in "${!found[@]}"; do spellings "$f"; done | sort -u)
while IFS= read -r line; do
  case "$line" in diversion\ *) continue ;; esac
  path=${line##*: }
  pkgs=${line%: *}
  pkgs=${pkgs//,/ }
  owners[$path]="${owners[$path]:-} $pkgs"
done < <(dpkg -S "${all_spellings[@]}" 2>/dev/null || true)

failures=0
for f in $(printf '%s\n' "${!found[@]}" | sort); do
  pkgs=""
  while read -r s; do pkgs+=" ${owners[$s]:-}"; done < <(spellings "$f")
  ok=0
  first=""
  for p in $pkgs; do
    p=${p%%:*}
    [ -n "$first" ] || first=$p
    if [ -n "${allowed[$p]:-}" ]; then ok=1; break; fi
  done
  [ "$ok" -eq 1 ] && continue
  failures=$((failures + 1))
  if [ -z "$first" ]; then
    echo "CMake found $f (${found[$f]}), which belongs to no Debian package: a fresh machine will not have it; have install-deps.sh install the package that provides it"
  else
    echo "CMake found $f (${found[$f]}) in package $first, which scripts/install-deps.sh neither installs nor pulls in: add $first to scripts/install-deps.sh"
  fi
done

if [ "$failures" -gt 0 ]; then
  exit 1
fi
echo "dependency audit: all ${#found[@]} files CMake found come from packages install-deps.sh provides"
