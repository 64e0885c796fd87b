#!/bin/sh
# Builds the Debian package from a build folder and checks what it holds, what
# it depends on, and that it unpacks into a scratch root.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
deb=$(ls "$work"/out/*.deb)
contents=$(dpkg-deb -c "$deb")
for path in \
    ./opt/tavrin-manager/Bin/tavrin-manager \
    ./opt/tavrin-manager/Bin/kordex-sim \
    ./opt/tavrin-manager/Bin/COM_1.INI \
    ./opt/tavrin-manager/Sounds/ZERO/Base_Hum_0.wav \
    ./opt/tavrin-manager/Documents/Fonts/bank1/Base_Hum_0.wav \
    ./usr/share/applications/tavrin-manager.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tavrin-manager.svg; do
    echo "$contents" | grep -q " $path\$" || { echo "the package lacks $path"; exit 1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6charts6 libqt6multimedia6 libjpeg62-turbo qt6-qpa-plugins; do
    echo "$depends" | grep -q "$library" || { echo "no dependency on $library in: $depends"; exit 1; }
done
dpkg-deb -I "$deb" conffiles | grep -q '/opt/tavrin-manager/Bin/COM_1.INI' || {
    echo "the settings file is not a conffile"
    exit 1
}

root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb" >/dev/null
test -x "$root/opt/tavrin-manager/Bin/tavrin-manager"
test -f "$root/opt/tavrin-manager/Bin/COM_1.INI"
echo "package ok: $(basename "$deb")"
