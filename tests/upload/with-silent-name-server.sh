#!/bin/sh
# Runs a test program in a network of its own whose resolver configuration names one
# name server, 127.0.0.1 port 53, which the program opens itself and never lets answer
# in time: a private resolver configuration for that process, the system's own look-up
# unchanged. Needs user namespaces (as Debian gives them) or root.
set -eu
conf=$(mktemp "${TMPDIR:-/tmp}/lf-resolv.XXXXXX")
trap 'rm -f "$conf"' EXIT
printf 'nameserver 127.0.0.1\n' >"$conf"
# A machine that gives no network of one's own cannot run the test: skipped, said why.
if ! unshare --map-root-user --mount --net true 2>/dev/null; then
  echo "skipped: no user, mount and network namespaces here (unshare)" >&2
  exit 77
fi
# An address besides loopback: without one the look-ups that ask for configured
# addresses give up before they ask the name server.
unshare --map-root-user --mount --net sh -ec '
  ip link set lo up
  ip addr add 10.254.0.1/32 dev lo
  mount --bind "$0" /etc/resolv.conf
  LF_PRIVATE_RESOLVER=127.0.0.1 "$@"' "$conf" "$@"
