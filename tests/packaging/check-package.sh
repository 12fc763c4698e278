#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a user's
# machine would meet it: lintian reports no error, the desktop entry and the
# AppStream metadata validate, the installed layout holds the programs, the
# manual, manual pages, icons and completion, and the packaged velmora-cli
# lists and extracts a fixture.
#
#   tests/packaging/check-package.sh [BUILD_DIR]     (default: build)
set -euo pipefail

build=$(realpath "${1:-build}")
for tool in cpack lintian desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: the packaging check needs $tool (scripts/install-deps.sh installs it)"
    exit 0
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

if ! (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
deb=$(ls "$work"/out/velmora_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no velmora_<version>_amd64.deb in $work/out"
echo "package: $(basename "$deb")"

# lintian refuses nothing as root but says so; its findings are what count.
lintian --allow-root --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/org.velmora.Velmora.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.velmora.Velmora.metainfo.xml" ||
  fail "AppStream metadata do not validate"

# Opening a CHM file reads it; the extractor's main window is an action.
grep -qx 'Exec=velmora --read %f' "$desktop" || fail "desktop entry does not start the reader with %f"
grep -qx 'Exec=velmora %f' "$desktop" || fail "desktop entry has no action that opens the main window"
grep -qx 'MimeType=application/vnd.ms-htmlhelp;application/x-chm;' "$desktop" ||
  fail "desktop entry does not name the CHM types"
for file in usr/bin/velmora usr/bin/velmora-cli \
            "usr/share/velmora/Velmora(Velmora)用户手册.chm" \
            usr/share/man/man1/velmora.1.gz usr/share/man/man1/velmora-cli.1.gz \
            usr/share/man/zh_CN/man1/velmora.1.gz usr/share/man/zh_CN/man1/velmora-cli.1.gz \
            usr/share/icons/hicolor/16x16/apps/org.velmora.Velmora.png \
            usr/share/icons/hicolor/256x256/apps/org.velmora.Velmora.png \
            usr/share/bash-completion/completions/velmora-cli \
            usr/share/doc/velmora/copyright usr/share/doc/velmora/changelog.gz; do
  [ -s "$root/$file" ] || fail "the package lacks $file"
done
zcat "$root/usr/share/man/man1/velmora-cli.1.gz" | grep -q '^\.SH EXIT STATUS' ||
  fail "velmora-cli(1) has no exit status section"
bash -n "$root/usr/share/bash-completion/completions/velmora-cli" || fail "completion is not valid bash"

# The packaged command-line tool works on its own.
cli=$root/usr/bin/velmora-cli
fixture=$build/fixtures/guide.chm
"$cli" list "$fixture" | grep -q 'index.htm' || fail "packaged velmora-cli does not list $fixture"
"$cli" extract "$fixture" -o "$work/extracted" >/dev/null || fail "packaged velmora-cli does not extract"
[ -s "$work/extracted/index.htm" ] || fail "packaged velmora-cli wrote no index.htm"
echo "package checks passed"
