#!/usr/bin/env bash
# Tries the README's two commands as a new user would, on a clean Debian 12: builds a root with
# only what `mmdebstrap --variant=apt` gives (plus sudo), copies the committed tree into it and
# runs scripts/run.sh, then scripts/test.sh, inside it with chroot. Needs root and a few minutes;
# not part of the test suite.
#   scripts/fresh-check.sh [--run-only] [--keep] [--root DIR]
#     --run-only  stop after scripts/run.sh (and the check of its POV-Ray scenes)
#     --keep      leave the root in place afterwards (it is removed otherwise)
#     --root DIR  build the root in DIR (must not exist yet); default: a new folder in /var/tmp
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
cd "$(dirname "$0")/.."

run_only=false
keep=false
root=
while [ $# -gt 0 ]; do
  case $1 in
    --run-only) run_only=true ;;
    --keep) keep=true ;;
    --root) root=$2; shift ;;
    -h | --help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "fresh-check: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

step="starting"
started=$(date +%s)
say() { printf '\n== fresh-check: %s\n' "$*"; }
mounted=()
cleanup() {
  local status=$?
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" 2>/dev/null || true
  done
  if [ -n "$root" ] && [ -d "$root" ]; then
    if $keep; then
      echo "fresh-check: the root stays in $root"
    elif ! findmnt -R "$root" >/dev/null 2>&1; then
      rm -rf "$root"
    else
      echo "fresh-check: something is still mounted below $root; left in place" >&2
    fi
  fi
  local took=$(($(date +%s) - started))
  if [ $status -eq 0 ]; then
    printf '\nfresh-check: PASSED (%s) in %d min %d s\n' "$($run_only && echo "scripts/run.sh" || echo "scripts/run.sh and scripts/test.sh")" $((took / 60)) $((took % 60))
  else
    printf '\nfresh-check: FAILED at: %s (exit status %d, after %d min %d s)\n' "$step" $status $((took / 60)) $((took % 60)) >&2
  fi
}
trap cleanup EXIT

step="installing mmdebstrap on this machine"
if ! command -v mmdebstrap >/dev/null; then
  say "$step"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
fi

# The root's package sources are this machine's: whatever mirror apt here is set up to reach.
mirrors=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  if [ -s "$f" ] && grep -qE '^[[:space:]]*(deb|Types:)' "$f"; then mirrors+=("$f"); fi
done

if [ -z "$root" ]; then
  root=$(mktemp -d /var/tmp/morvane-fresh.XXXXXX)
  rmdir "$root"
fi
[ ! -e "$root" ] || { step="choosing the root folder"; echo "fresh-check: $root exists already" >&2; exit 2; }

step="building a clean Debian 12 root (mmdebstrap --variant=apt bookworm)"
say "$step in $root"
mmdebstrap --quiet --variant=apt --include=sudo bookworm "$root" "${mirrors[@]}"

# Name resolution as on this machine, for apt inside the root (mmdebstrap leaves none behind).
[ -e "$root/etc/resolv.conf" ] || cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# Where this machine reaches the package registries through a proxy with a certificate
# authority of its own, the root trusts the same one, as any machine behind that proxy would;
# nothing else of this machine's set-up goes in.
extra_ca=()
if [ -n "${NODE_EXTRA_CA_CERTS:-}" ] && [ -f "$NODE_EXTRA_CA_CERTS" ]; then
  cp -L "$NODE_EXTRA_CA_CERTS" "$root/etc/morvane-fresh-extra-ca.crt"
  extra_ca=(NODE_EXTRA_CA_CERTS=/etc/morvane-fresh-extra-ca.crt)
fi

step="copying the committed tree (git archive HEAD)"
say "$step: $(git rev-parse --short HEAD)"
# In a folder every user may enter, as a checkout usually is: the tests of write faults run the
# converter as an unprivileged user, which could not reach a tree under root's own home.
mkdir -p "$root/srv/morvane"
git archive HEAD | tar -x -C "$root/srv/morvane"

step="mounting /proc and /dev"
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mounted+=("$root/dev")

# The commands run in an empty environment, as in a new login: nothing of this machine's
# (compiler launchers, displays, proxies) leaks into the check.
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root TERM=dumb LANG=C.UTF-8 \
    "${extra_ca[@]}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c "cd /srv/morvane && $1"
}

step="scripts/run.sh (the main job)"
say "$step"
in_root scripts/run.sh

step="checking the POV-Ray scenes scripts/run.sh wrote"
say "$step"
scenes=$(find "$root/srv/morvane/build/examples" -maxdepth 1 -name '*.pov' | sort)
[ -n "$scenes" ] || { echo "fresh-check: scripts/run.sh wrote no .pov scene" >&2; exit 1; }
for pov in $scenes; do
  png=${pov%.pov}.png
  [ -s "$png" ] || { echo "fresh-check: ${pov#"$root"} was not rendered (no ${png#"$root"})" >&2; exit 1; }
  echo "  ${pov#"$root"} -> $(basename "$png")"
done

if ! $run_only; then
  step="scripts/test.sh (every test, plain and sanitizer builds)"
  say "$step"
  in_root scripts/test.sh
fi
step="done"
