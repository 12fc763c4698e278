#!/usr/bin/env bash
# Fetches the Debian source of the installed libmspack (the same version as
# its header) into DEST and prints the folder holding chmd.c, lzxd.c and
# mspack.h. The fuzz and ThreadSanitizer builds compile these themselves so
# the sanitizers and the fuzzer's coverage reach inside libmspack. DEST
# defaults to the user's cache folder, where the source stays for the next
# build folder and clone (one folder per version, so an upgraded libmspack
# is fetched again). apt-get runs with a private list and cache below DEST,
# so the system's apt configuration is not changed; it checks the files
# against the archive's signed index. Exits non-zero when the source cannot
# be had (offline, no such version); the builds then link the system's
# uninstrumented libmspack.
#
#   tests/fuzz/fetch-libmspack-source.sh [DEST]
set -euo pipefail

dest=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora/libmspack}
version=$(dpkg-query -W -f='${source:Version}' libmspack-dev 2>/dev/null) || {
  echo "libmspack-dev is not installed" >&2; exit 1; }
upstream=${version%-*}
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
source="$dest/$version/mspack"
if [ -f "$source/chmd.c" ]; then echo "$source"; exit 0; fi

# The archive the system installs from, as a source line.
uri=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
[ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
[ -n "$uri" ] || uri=http://deb.debian.org/debian
. /etc/os-release
suite=${VERSION_CODENAME:?no release name in /etc/os-release}

# Fetched and unpacked in a folder of this run's own, then moved into place
# whole: a run beside it or one interrupted never leaves half a source tree.
work=$(mktemp -d "$dest/fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
apt="$work/apt"
mkdir -p "$apt/parts" "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/download"
cat > "$apt/parts/source.sources" <<SOURCES
Types: deb-src
URIs: $uri
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/parts"
      -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root -qq)
apt-get "${opts[@]}" update >&2
(cd "$apt/download" && apt-get "${opts[@]}" source --download-only "libmspack=$version" >&2)

tarball=$(ls "$apt/download"/libmspack_"$upstream".orig.tar.* | head -n1)
mkdir -p "$work/src"
tar -xf "$tarball" -C "$work/src" --strip-components=1
[ -f "$work/src/mspack/chmd.c" ] && [ -f "$work/src/mspack/lzxd.c" ] || {
  echo "the libmspack source lacks chmd.c or lzxd.c" >&2; exit 1; }
mv -T "$work/src" "$dest/$version" 2>/dev/null || [ -f "$source/chmd.c" ] || {
  echo "cannot move the libmspack source to $dest/$version" >&2; exit 1; }
echo "$source"
