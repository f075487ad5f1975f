#!/usr/bin/env bash
# Runs scripts/setup.sh as a user without sudo, on a machine where packages are missing: it
# must install nothing, name the missing packages and the command that installs them as root,
# and fail. The user, the package database and apt-get are stand-ins in a folder of their own.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir "$bin"
# Only the tools the script uses, and no sudo among them.
for tool in bash grep; do ln -s "$(command -v "$tool")" "$bin/$tool"; done
printf '#!/bin/sh\necho 1000\n' >"$bin/id"
# Of the packages only cmake is installed.
printf '#!/bin/sh\nfor last; do :; done\n[ "$last" = cmake ] && printf "install ok installed"\nexit 0\n' \
    >"$bin/dpkg-query"
printf '#!/bin/sh\necho "$@" >>"%s/apt-get-called"\n' "$work" >"$bin/apt-get"
chmod +x "$bin/id" "$bin/dpkg-query" "$bin/apt-get"

fail() {
    echo "setup-check: $*" >&2
    echo "--- what setup.sh wrote:" >&2
    cat "$work/err" >&2
    exit 1
}
status=0
PATH=$bin "$bin/bash" "$root/scripts/setup.sh" >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "setup.sh ended with status $status, not 1"
[ ! -e "$work/apt-get-called" ] || fail "setup.sh ran apt-get: $(cat "$work/apt-get-called")"
grep -q 'command not found' "$work/err" && fail "setup.sh ran a command that is not there"
missing=$(grep '^setup: these packages are missing: ' "$work/err") ||
    fail "setup.sh did not name the missing packages"
for p in build-essential ninja-build qt6-base-dev libsqlite3-dev xvfb; do
    [[ " $missing " == *" $p "* ]] || fail "setup.sh did not name $p among the missing"
done
[[ " $missing " != *" cmake "* ]] || fail "setup.sh named cmake, which is installed"
grep -q 'as root' "$work/err" || fail "setup.sh did not say to install them as root"
command=$(grep -x '  apt-get update && apt-get install -y --no-install-recommends .*' "$work/err") ||
    fail "setup.sh did not give the command that installs them"
[ "${command#*--no-install-recommends }" = "${missing#*missing: }" ] ||
    fail "the command does not install exactly the missing packages"
echo "setup-check: without sudo, setup.sh names the missing packages and the command for root"
