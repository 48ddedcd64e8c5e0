# shellcheck shell=bash
# Sourced by the build and test scripts: what more than one of them needs, said once.
#   pixorale_jobs                       parallel jobs for a build or a test run: PIXORALE_JOBS
#                                       when set (a shared machine), else one a processor
#   pixorale_version                    the version CMakeLists.txt gives the project
#   require_package_version PACKAGE VERSION
#                                       fails, saying what to do, unless the host has Debian's
#                                       PACKAGE at exactly VERSION
#   copy_text FROM TO lf|crlf           copies a text file, with Windows line ends for crlf
#   copy_licences PREFIX DIR versioned|unversioned lf|crlf
#                                       the licence of every library in PREFIX (PREFIX/share/
#                                       licenses/NAME-VERSION/copyright, as build-libraries.sh
#                                       leaves them) into DIR as NAME-VERSION.txt or NAME.txt

pixorale_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

pixorale_jobs() {
  echo "${PIXORALE_JOBS:-$(nproc)}"
}

pixorale_version() {
  sed -n 's/^project(Pixorale VERSION \([0-9.]*\).*/\1/p' "$pixorale_root/CMakeLists.txt"
}

require_package_version() {
  local package=$1 wanted=$2 installed
  installed=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null) || installed=
  if [ "$installed" != "$wanted" ]; then
    echo "$(basename "$0"): the build is pinned to $package $wanted, but this machine has" \
      "${installed:-none}: install that version (apt-get install $package=$wanted) or move the" \
      "pin in $(basename "$0") after checking the new one" >&2
    return 1
  fi
}

copy_text() {
  if [ "$3" = crlf ]; then
    sed 's/$/\r/' "$1" >"$2"
  else
    cp "$1" "$2"
  fi
}

copy_licences() {
  local prefix=$1 dir=$2 naming=$3 line_ends=$4 licence name
  mkdir -p "$dir"
  for licence in "$prefix"/share/licenses/*/copyright; do
    name=$(basename "$(dirname "$licence")")
    if [ "$naming" = unversioned ]; then
      name=${name%%-[0-9]*}
    fi
    copy_text "$licence" "$dir/$name.txt" "$line_ends"
  done
}
