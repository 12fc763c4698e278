#!/usr/bin/env bash
# Fetches the Debian source of the installed libmspack (the same version as
# its header) into DEST and prints the folder holding chmd.c, lzxd.c and
# mspack.h. The fuzz build compiles these itself so the sanitizers and the
# fuzzer's coverage reach inside libmspack. apt-get runs with a private list
# and cache below DEST, so the system's apt configuration is not changed; it
# checks the files against the archive's signed index. Exits non-zero when
# the source cannot be had (offline, no such version); the fuzz build then
# links the system's uninstrumented libmspack.
set -euo pipefail

dest=${1:?usage: fetch-libmspack-source.sh DEST}
version=$(dpkg-query -W -f='${source:Version}' libmspack-dev 2>/dev/null) || {
  echo "libmspack-dev is not installed" >&2; exit 1; }
upstream=${version%-*}
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
ready="$dest/$version.ready"
if [ -f "$ready" ] && [ -f "$(cat "$ready")/chmd.c" ]; then cat "$ready"; exit 0; fi

# The archive the system installs from, as a source line.
uri=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
[ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
[ -n "$uri" ] || uri=http://deb.debian.org/debian
. /etc/os-release
suite=${VERSION_CODENAME:?no release name in /etc/os-release}

apt="$dest/apt"
rm -rf "$apt"
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
rm -rf "$dest/src"
mkdir -p "$dest/src"
tar -xf "$tarball" -C "$dest/src" --strip-components=1
[ -f "$dest/src/mspack/chmd.c" ] && [ -f "$dest/src/mspack/lzxd.c" ] || {
  echo "the libmspack source lacks chmd.c or lzxd.c" >&2; exit 1; }
rm -rf "$apt"
echo "$dest/src/mspack" > "$ready"
cat "$ready"
