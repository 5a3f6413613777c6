#!/usr/bin/env bash
# A command of scripts/ run under sudo (SUDO_UID and SUDO_GID as sudo sets them) gives the user
# whose checkout it is what it made there as root, also when it fails and when one such command
# runs another; in root's own checkout it leaves everything to root.
set -uo pipefail
repo=${1:?usage: build_owner_test.sh REPOSITORY}
work=$(mktemp -d /tmp/build-owner-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" && failed=1; }
readonly USER_ID=4321 GROUP_ID=4322

# A command as scripts/ has them: it builds into build/, runs a nested command that builds too, and
# exits with the status it is given.
mkdir -p "$work/tree/scripts"
ln -s "$repo/scripts/lib" "$work/tree/scripts/lib"
cat >"$work/tree/scripts/make-tree" <<'EOF'
#!/usr/bin/env bash
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/as_root.sh
as_root "$PWD/scripts/make-tree" "" "$@"
mkdir -p build/"$1" && touch build/"$1"/object
if [[ $1 == outer ]]; then
    scripts/make-tree inner 0
    stat -c %u build/inner/object >build/inner-owner-meanwhile
fi
exit "$2"
EOF
chmod +x "$work/tree/scripts/make-tree"

run() {
    STATUS=0
    env -u TOLM_HAND_BACK_TO SUDO_UID=$USER_ID SUDO_GID=$GROUP_ID "$work/tree/scripts/make-tree" outer "$1" \
        || STATUS=$?
}

chown "$USER_ID:$GROUP_ID" "$work/tree" "$work/tree/scripts" "$work/tree/scripts/make-tree"
run 3
[[ $STATUS == 3 ]] || fail "status $STATUS, not the command's 3"
others=$(find "$work/tree" \( ! -uid "$USER_ID" -o ! -gid "$GROUP_ID" \) -printf '%u:%g %p\n')
[[ -z $others ]] || fail "not handed back after a failure: $others"
[[ $(<"$work/tree/build/inner-owner-meanwhile") == 0 ]] ||
    fail "the nested command handed back before the outer one ended"

rm -rf "$work/tree/build"
chown -R 0:0 "$work/tree"
run 0
[[ $STATUS == 0 ]] || fail "root's checkout: status $STATUS"
others=$(find "$work/tree" ! -uid 0 -printf '%u:%g %p\n')
[[ -z $others ]] || fail "root's checkout given away: $others"

((failed == 0)) && echo "what root made in a user's checkout is the user's again when the command ends"
exit "$failed"
