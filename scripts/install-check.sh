#!/usr/bin/env bash
# Installs Fretlyn from a build into a fresh prefix that the user who runs it cannot write, and
# checks as that user that the installed program starts and that quotes and a printed rate sheet
# come out of the installed application folder, the user's database going to the user's data
# folder. Run as root, it runs the program as "nobody"; otherwise it takes the write permission
# off the prefix.
#
#   install-check.sh BUILD_DIR SCENARIO_RUNNER SCENARIO_DIR
set -euo pipefail
build=$1
runner=$2
scenarios=$3

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
    echo "install-check: $*" >&2
    exit 1
}
for f in bin/fretlyn share/fretlyn/data/x2007.mdb share/fretlyn/data/checksums.txt \
    share/fretlyn/grids share/fretlyn/help/x2007.htm \
    share/fretlyn/BL/BLFront.PDF share/applications/fretlyn.desktop \
    share/icons/hicolor/256x256/apps/fretlyn.png; do
    [ -e "$prefix/$f" ] || fail "$f was not installed"
done
# The modules (the bills' PDF forms, the web pages' downloads), in the library folder the
# program loads them from.
for module in libfretlyn_pdf.so libfretlyn_web.so; do
    find "$prefix" -path "$prefix/lib*/fretlyn/$module" | grep -q . ||
        fail "the module $module was not installed in the program's library folder"
done
grep -qx "Exec=$prefix/bin/fretlyn" "$prefix/share/applications/fretlyn.desktop" ||
    fail "the menu entry does not start $prefix/bin/fretlyn"
# Only the application's own files: nothing CMake, the build tool or Qt's code generators keep in
# the build's application folder, and no file that names the build folder.
built=$(find "$prefix/share/fretlyn" \( -name CMakeFiles -o -name '*_autogen' -o -name '*.cmake' \
    -o -name Makefile -o -name '*.ninja' -o -name '.ninja_*' -o -name '*.o' -o -name '*.a' \
    -o -name CMakeCache.txt \) -print)
[ -z "$built" ] || fail "build files were installed: $built"
build_path=$(cd "$build" && pwd -P)
naming=$(grep -rlF "$build_path" "$prefix/share/fretlyn" || true)
[ -z "$naming" ] || fail "installed files name the build folder $build_path: $naming"

# Everything installed is older than the stamp: whatever the check writes there is newer.
find "$prefix" -exec touch -h -d '2000-01-01' {} +
stamp=$work/installed.stamp
touch -d '2001-01-01' "$stamp"

home=$work/home
# The session's runtime folder, where the program leaves its socket, is the check's own.
mkdir -p "$home/run"
chmod 700 "$home/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
else
    chmod -R a-w "$prefix"
fi
"${as_user[@]}" test ! -w "$prefix/share/fretlyn/data" ||
    fail "the prefix is writable for the check's user"
user_env=(env HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config"
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run")
as_program_user() {
    "${as_user[@]}" "${user_env[@]}" "$@"
}

# The installed program starts from its menu entry's command and makes the user's copy of the
# database; a start-up error would be written to its standard error. It is started as a plain
# command, not through the function, so that $! is the program itself (each step execs the
# next) and the kill below reaches it, rather than a subshell that would leave it running.
"${as_user[@]}" "${user_env[@]}" "$prefix/bin/fretlyn" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
copy="$home/.local/share/Fretlyn/current"
for _ in $(seq 1 120); do
    [ -s "$copy" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
if [ ! -s "$copy" ]; then
    cat "$work/err.txt" >&2
    fail "the program made no copy of the database in the user's data folder"
fi
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$work/err.txt" >&2; fail "the program ended at start"; }
if grep -q '^Error ' "$work/err.txt"; then
    cat "$work/err.txt" >&2
    fail "the program refused to start"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
[ -f "$home/.local/share/Fretlyn/$(cat "$copy")/x2007.mdb" ] ||
    fail "the user's database is missing"

# Quotes and a rate sheet printed to a PDF file, on the installed application folder.
mkdir "$work/scenarios"
for name in domestic_two_lines cross_border_taxes rate_sheet; do
    cp "$scenarios/$name.scn" "$scenarios/$name.json" "$work/scenarios/"
done
chmod -R a+rX "$work/scenarios"
as_program_user "$runner" --app "$prefix/share/fretlyn" --check "$work/scenarios"

# Nothing in the prefix was written.
changed=$(find "$prefix" -newer "$stamp" -print)
[ -z "$changed" ] || fail "the installed copy was written to: $changed"

# The README's uninstall: the files the install listed, the program's own two folders, then the
# folders the install made in a prefix of the user's own, which held nothing before it, and the
# prefix itself.
chmod -R u+w "$prefix"
xargs -d '\n' rm -f -- <"$build/install_manifest.txt"
rm -rf "$prefix/share/fretlyn" "$prefix/lib/fretlyn"
(cd "$prefix" && rmdir --ignore-fail-on-non-empty share/icons/hicolor/256x256/apps \
    share/icons/hicolor/256x256 share/icons/hicolor share/icons share/applications share lib bin)
rmdir --ignore-fail-on-non-empty "$prefix"
left=$(find "$prefix" -print 2>/dev/null || true)
[ -z "$left" ] || fail "the uninstall left files or folders behind: $left"
echo "install-check: the installed copy starts and quotes for a user who cannot write $prefix"
