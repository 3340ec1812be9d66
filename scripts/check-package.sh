#!/usr/bin/env bash
# Builds the Debian package (the release build of the package preset) and checks it as installed:
# unpacked into a throw-away root, the installed program tells its version, runs a headless
# script and the menu entry's commands, and an export with no --export-dir lands in a folder the
# user can write; desktop-file-validate and lintian find no error. Needs what
# `scripts/install-deps.sh --check-package` installs.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset package
debs=(build/package/kb4471_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "expected one package, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
echo "== $deb"
dpkg-deb --info "$deb" | sed -n '/Depends:/p'

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
root=$work/root
dpkg -x "$deb" "$root"
program=$root/usr/bin/kb4471
fail() { echo "check-package: $*" >&2; exit 1; }

# A home of its own: the checks never touch the user's settings or documents.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME/Documents" "$work/run"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run

version=$("$program" --version)
[ "$version" = "kb4471 $(sed -n 's/^project(kb4471 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ] ||
  fail "installed --version says '$version'"
echo "installed: $version"

cat > "$work/script.txt" <<'SCRIPT'
click Command1 2
tick 3
print CurrentBoard
menu Excel Out Test
print LastBoardIndex
SCRIPT
run_export() {  # runs the script from the installed program, as the given user command prefix
  (cd "$work" && "$@" "$program" --headless --simulate=2 --script "$work/script.txt")
}

# As the user who unpacked it, with the program's folder not writable (a system folder for them).
chmod a-w "$root/usr/bin"
if [ "$(id -u)" -eq 0 ]; then
  # root writes anywhere: the export runs as an ordinary user.
  chown -R nobody:nogroup "$HOME"
  out=$(run_export setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$HOME" \
        XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME")
else
  out=$(run_export env)
fi
chmod u+w "$root/usr/bin"
echo "$out"
workbook="$HOME/Documents/01-05-2026_08_00_00 AM_EXCELoutTEST.xls"
grep -qxF "MSGBOX KB4471: The workbook was saved as $workbook: the program's folder $root/usr/bin is a system folder or cannot be written." <<<"$out" ||
  fail "the export's message box does not name $workbook"
grep -qxF "OPEN $workbook" <<<"$out" || fail "the export did not open $workbook"
[ -s "$workbook" ] || fail "no workbook at $workbook"
[ ! -e "$XDG_CONFIG_HOME/kb4471" ] || fail "the headless run wrote settings"

# The menu entry and its action: the commands are the installed program; with the simulated
# stack the windows come up and keep running until stopped.
desktop=$root/usr/share/applications/kb4471.desktop
desktop-file-validate "$desktop"
grep -qx 'Exec=kb4471' "$desktop" && grep -qx 'Exec=kb4471 --simulate' "$desktop" ||
  fail "unexpected Exec lines in $desktop"
status=0
PATH=$root/usr/bin:$PATH xvfb-run -a timeout 5 kb4471 --simulate || status=$?
[ "$status" -eq 124 ] || fail "kb4471 --simulate under a display ended with status $status"
[ -f "$root/usr/share/man/man1/kb4471.1.gz" ] || fail "no manual page"

status=0
lintian --fail-on error "$deb" > "$work/lintian.txt" 2>&1 || status=$?
grep -v 'root privileges' "$work/lintian.txt" || true
[ "$status" -eq 0 ] || fail "lintian reports errors (status $status)"
echo "check-package: $deb passed"
