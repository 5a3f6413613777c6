# shellcheck shell=bash
# Sourced by the commands that install packages or run the lab, both of which need root. Started by
# another user, such a command runs again under sudo before it installs or builds anything (sudo
# asks for the password up front), or says exactly what to type when sudo cannot be used.
#
#   as_root SCRIPT "VARIABLES" [ARGUMENTS...]
#     SCRIPT      the command's absolute path; VARIABLES the environment it keeps through sudo

as_root() {
    local script=$1 keep=$2 name
    shift 2
    ((EUID == 0)) && return 0
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
