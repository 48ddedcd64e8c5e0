#!/usr/bin/env bash
# Fetches one of Debian's source packages at a pinned version and unpacks it (Debian's
# patches applied) into DIR/PACKAGE-VERSION, for the libraries that Debian builds only for
# Linux. Adds a deb-src entry for the Debian archive the machine already installs from, once.
#   scripts/debian-source.sh DIR PACKAGE VERSION [--orig-only]
# --orig-only: the archive serves this version's upstream tarball but not Debian's changes
# to it; the tarball is then checked against the .dsc's SHA-256 and unpacked as it is.
set -euo pipefail

dir=$1 package=$2 version=$3 orig_only=${4:-}
upstream=${version#*:}
upstream=${upstream%-*}
tree=$dir/$package-$upstream
if [ -d "$tree" ]; then
  exit 0
fi

list=/etc/apt/sources.list.d/pixorale-sources.sources
if [ ! -f "$list" ]; then
  cat >"$list" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt-get update -qq
fi

mkdir -p "$dir/download"
cd "$dir/download"
dsc=${package}_${version#*:}.dsc
if [ -z "$orig_only" ]; then
  if ! log=$(apt-get source -qq --download-only "$package=$version" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
  dpkg-source -x --no-check "$dsc" "$tree" >/dev/null
  exit 0
fi

# apt-get fails on the missing Debian part but keeps what it fetched.
apt-get source -qq --download-only "$package=$version" >/dev/null 2>&1 || true
orig=$(sed -n '/^Checksums-Sha256:/,/^[A-Z]/ s/^ \([0-9a-f]\{64\}\) [0-9]* \(.*\.orig\.tar\.[a-z0-9]*\)$/\1  \2/p' "$dsc")
echo "$orig" | sha256sum --check --quiet
mkdir -p "$tree"
tar -xf "${orig##* }" -C "$tree" --strip-components=1
echo "$package $version: Debian's changes are not served by the archive; built from its upstream tarball"
