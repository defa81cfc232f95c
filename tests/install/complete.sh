# SPDX-License-Identifier: Apache-2.0
# Sourced by the install tests. complete_with SCRIPT DIR WORDS...: the completions bash offers
# with SCRIPT loaded, in DIR, for a command line whose last word is being completed.
complete_with() {
  local script=$1 dir=$2
  shift 2
  (cd "$dir" && bash -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _vellmark_cli
    printf "%s\n" "${COMPREPLY[@]}"' _ "$script" "$@" 2>&1)
}
