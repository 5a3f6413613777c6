# shellcheck shell=bash
# Sourced by the commands that install packages or run the lab, both of which need root. Started by
# another user, such a command runs again under sudo before it installs or builds anything (sudo
# asks for the password up front), or says exactly what to type when sudo cannot be used. Run under
# sudo by the user whose checkout it is, the command gives that user back what it made there as root
# (build/ above all) when it ends, also when it fails, so that the user's own cmake --build works.
#
#   as_root SCRIPT "VARIABLES" [ARGUMENTS...]
#     SCRIPT      the command's absolute path; VARIABLES the environment it keeps through sudo

as_root() {
    local script=$1 keep=$2 name
    shift 2
    ((EUID == 0)) && hand_back_after "$script" "$@" && return 0
    name=scripts/$(basename "$script")
    echo "$name: needs root (apt-get, and the lab's network namespaces)" >&2
    if command -v sudo >/dev/null && sudo -v; then
        echo "$name: running again under sudo" >&2
        local -a preserve=()
        [[ -z $keep ]] || preserve=(--preserve-env="${keep// /,}")
        exec sudo "${preserve[@]}" -- "$script" "$@"
    fi
    # What su keeps of the environment is not certain: the variables go along in the command.
    local variable typed=
    for variable in $keep; do
        [[ -z ${!variable:-} ]] || typed+="$variable=$(printf '%q' "${!variable}") "
    done
    typed+=$(printf '%q' "$script")
    (($# == 0)) || typed+=$(printf ' %q' "$@")
    local other="or, as root, give yourself sudo (then log in again and run $name once more):
    adduser $(id -un) sudo"
    command -v sudo >/dev/null || other=${other/adduser/apt-get install sudo && adduser}
    # A member of the group whose sudo failed had no terminal to give the password on.
    id -nG | grep -qw sudo && other="or run $name from a terminal, where sudo can ask for your password"
    cat >&2 <<EOT
$name: sudo cannot be used here (see above). Either run it as root:
    su -c '$typed'
$other
EOT
    exit 1
}

# As root under sudo: runs the command (again, as a child) and then gives SUDO_UID what root owns in
# the checkout. The lab, the tests and the package test write into build/ as root too, so one
# hand-back at the end covers them all. Returns at once when there is no user to hand back to, or
# when an outer command hands back already.
hand_back_after() {
    local script=$1 repo status=0
    shift
    [[ -n ${SUDO_UID:-} && ${SUDO_UID} != 0 && -z ${TOLM_HAND_BACK_TO:-} ]] || return 0
    repo=$(cd "$(dirname "$script")/.." && pwd)
    [[ $(stat -c %u "$repo") == "$SUDO_UID" ]] || return 0
    export TOLM_HAND_BACK_TO=$SUDO_UID:${SUDO_GID:-$SUDO_UID}
    # A trap, not an ignored signal: the command keeps the default and ends on Ctrl-C as it would.
    trap : INT TERM HUP
    "$script" "$@" || status=$?
    find "$repo" -xdev -uid 0 -exec chown -h "$TOLM_HAND_BACK_TO" {} +
    exit "$status"
}
