# shellcheck shell=bash
# For the commands that take no options: -h or --help prints the usage and ends the command; any
# other argument is a usage error. Call it after defining the command's usage function.
#   no_options "$@"

no_options() {
    (($# == 0)) && return 0
    if (($# == 1)) && [[ $1 == -h || $1 == --help ]]; then
        usage
        exit 0
    fi
    usage >&2
    exit 2
}
