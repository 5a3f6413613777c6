#!/usr/bin/env bash
# scripts/setup against a package mirror caught in the middle of a sync. Stand-ins for apt-get, dpkg
# and dpkg-query come first on PATH, so the machine's own are never called; the checkout is one of
# links to the repository's scripts, with its Wine prefix prepared already.
set -uo pipefail
repo=${1:?usage: setup_test.sh REPOSITORY}
work=$(mktemp -d /tmp/setup-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" && failed=1; }
expect_in() { [[ $1 == *"$2"* ]] || fail "$3: '$2' not in: $1"; }

mkdir -p "$work/tree/scripts" "$work/tree/build/wineprefix" "$work/bin"
ln -s "$repo/scripts/setup" "$repo/scripts/wine-dialog-font" "$repo/scripts/lib" "$work/tree/scripts/"
echo '"MS Sans Serif"="URW Gothic"' >"$work/tree/build/wineprefix/system.reg"
release=$(. /etc/os-release && echo "$VERSION_CODENAME")

# What the stand-ins do is set by files in $state: update-failures (how many updates fail),
# mismatch (an install without -t meets unmatched i386 versions), broken (every install fails),
# installed (dpkg-query finds every package), architectures. Each call is logged in $state/calls.
state=$work/state
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
case $1 in
update)
    failures=$(cat "$STATE/update-failures" 2>/dev/null || echo 0)
    if ((failures > 0)); then
        echo $((failures - 1)) >"$STATE/update-failures"
        echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
    fi
    echo "Reading package lists... Done" ;;
install)
    if [[ -e $STATE/broken ]]; then
        echo "E: Unable to locate package wine32:i386"
        exit 100
    fi
    if [[ -e $STATE/mismatch && " $* " != *" -t "* ]]; then
        echo "The following packages have unmet dependencies:"
        echo " libcurl4:i386 : Depends: libbrotli1:i386 (>= 0.6.0) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    fi
    touch "$STATE/installed" ;;
*) exit 99 ;;
esac
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case $1 in
--print-foreign-architectures) cat "$STATE/architectures" ;;
--add-architecture) echo "$2" >>"$STATE/architectures" ;;
*) exit 99 ;;
esac
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
[[ -e $STATE/installed ]] && printf 'install ok installed'
EOF
chmod +x "$work/bin"/*

# Runs the checkout's scripts/setup with the stand-ins; STATUS, OUT (stdout and stderr), ERR, CALLS.
setup() {
    STATUS=0
    env -u SUDO_UID -u SUDO_GID PATH="$work/bin:$PATH" STATE="$state" SETUP_APT_PAUSE=0 \
        "$work/tree/scripts/setup" >"$work/out" 2>"$work/err" || STATUS=$?
    ERR=$(<"$work/err")
    OUT=$(cat "$work/out" "$work/err")
    CALLS=$(<"$state/calls")
}

# A fresh machine, mid-sync: i386 not added yet, the first update fails, and the packages' amd64
# and i386 versions match only in the release's own suite.
rm -rf "$state" && mkdir "$state" && touch "$state/architectures" "$state/mismatch" "$state/calls"
echo 1 >"$state/update-failures"
setup
[[ $STATUS == 0 ]] || fail "mid-sync: status $STATUS: $OUT"
[[ $(<"$state/architectures") == i386 ]] || fail "mid-sync: i386 not added: $CALLS"
[[ $(grep -c '^apt-get update' <<<"$CALLS") == 2 ]] || fail "mid-sync: not one update more: $CALLS"
expect_in "$OUT" "apt-get update failed (try 1 of 3)" "mid-sync"
installs=$(grep '^apt-get install' <<<"$CALLS")
[[ $(wc -l <<<"$installs") == 2 && $(tail -n 1 <<<"$installs") == *" -t $release "*wine32:i386* ]] ||
    fail "mid-sync: no second install with -t $release: $installs"
expect_in "$OUT" "installing $release's own versions instead" "mid-sync"
expect_in "$OUT" "apt-get upgrade brings their security updates" "mid-sync"
[[ $(tail -n 1 <<<"$OUT") == "setup: ready" ]] || fail "mid-sync: not ready: $OUT"

# Every update fails: set-up goes on with the lists there are, and the install succeeds.
rm -rf "$state" && mkdir "$state" && echo i386 >"$state/architectures" && touch "$state/calls"
echo 9 >"$state/update-failures"
setup
[[ $STATUS == 0 && $(grep -c '^apt-get update' <<<"$CALLS") == 3 ]] ||
    fail "no update: status $STATUS, calls: $CALLS"
expect_in "$OUT" "going on with the package lists this machine has" "no update"
[[ $(grep -c '^apt-get install' <<<"$CALLS") == 1 && $(tail -n 1 <<<"$OUT") == "setup: ready" ]] ||
    fail "no update: not installed at once: $OUT"

# No install can succeed: one line on stderr says what happened and what to type.
rm -f "$state/installed" && touch "$state/broken" && echo 0 >"$state/update-failures"
setup
[[ $STATUS == 1 ]] || fail "broken: status $STATUS"
[[ $(wc -l <<<"$ERR") == 1 && $ERR == "setup: FAILED: "*"Unable to locate package wine32:i386"*"type: scripts/setup" ]] ||
    fail "broken: not one line that says what to type: $ERR"
[[ $OUT != *"setup: ready"* ]] || fail "broken: ready after all"

# Everything installed: no apt-get at all.
rm -rf "$state" && mkdir "$state" && echo i386 >"$state/architectures" && touch "$state/installed" "$state/calls"
setup
[[ $STATUS == 0 && $CALLS != *apt-get* ]] || fail "installed: status $STATUS, calls: $CALLS"

((failed == 0)) && echo "setup survives a mirror in the middle of a sync and fails with what to type"
exit "$failed"
