#!/usr/bin/env bash
# Checks the package ./package.sh wrote: the desktop entry and the AppStream metainfo validate,
# the .deb holds the program, its desktop entry, metainfo and icons, its Depends line names
# what the program loads at run time and nothing of the build, and the program unpacked from it
# opens its main window on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/../.."

fail() {
    echo "check_package: $*" >&2
    exit 1
}

desktop-file-validate assets/sornel.desktop
appstreamcli validate --no-net assets/example.sornel.Sornel.metainfo.xml >/dev/null

debs=(dist/sornel_*.deb)
[[ -f "${debs[0]}" ]] || fail "no package in dist/: run ./package.sh"
deb=${debs[0]}

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/sornel \
            ./usr/share/applications/sornel.desktop \
            ./usr/share/metainfo/example.sornel.Sornel.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/sornel.svg \
            ./usr/share/icons/hicolor/16x16/apps/sornel.png \
            ./usr/share/icons/hicolor/48x48/apps/sornel.png \
            ./usr/share/icons/hicolor/96x96/apps/sornel.png; do
    grep -qxF "$path" <<<"$files" || fail "$deb lacks $path"
done

depends=$(dpkg-deb -f "$deb" Depends)
for package in qt6-qpa-plugins fonts-noto-cjk qt6-translations-l10n libqt6widgets6 \
               libqt6multimedia6 libcurl4 libicu72 'pulseaudio | pipewire-pulse'; do
    grep -qF "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done
if grep -Eq -- '-dev([ ,(]|$)|(^|[ ,])(gcc|g\+\+|clang|cmake|ninja-build)' <<<"$depends"; then
    fail "Depends names part of the build: $depends"
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
    QT_QPA_PLATFORM=xcb "$1/usr/bin/sornel" &
    program=$!
    for _ in $(seq 100); do
        if xdotool search --onlyvisible --pid "$program" --name "^Sornel1.0" >/dev/null; then
            kill "$program"
            exit 0
        fi
        sleep 0.1
    done
    kill "$program" 2>/dev/null
    exit 1' check "$unpacked" || fail "the unpacked program opened no main window"
echo "check_package: $deb is sound"
