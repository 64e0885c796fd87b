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
    ./usr/share/tavrin-manager/COM_1.INI \
    ./usr/share/man/man1/tavrin-cli.1.gz \
    ./usr/share/bash-completion/completions/tavrin-cli \
    ./usr/share/doc/tavrin-manager/copyright \
    ./usr/share/doc/tavrin-manager/changelog.gz \
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
for program in tavrin-cli tavrin-manager; do
    echo "$contents" | grep -q " ./usr/bin/$program -> /opt/tavrin-manager/Bin/$program\$" ||
        { echo "/usr/bin/$program does not lead to the installed program"; exit 1; }
done
if echo "$contents" | grep -q ' ./usr/local/'; then
    echo "the package writes under /usr/local"
    exit 1
fi
if dpkg-deb -I "$deb" conffiles >/dev/null 2>&1; then
    echo "the package has conffiles outside /etc: $(dpkg-deb -I "$deb" conffiles)"
    exit 1
fi
for binary in tavrin-manager tavrin-cli kordex-sim tavrin-list-ports; do
    dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./opt/tavrin-manager/Bin/$binary" >"$work/binary"
    if readelf -S "$work/binary" | grep -q ' .symtab '; then
        echo "$binary is not stripped"
        exit 1
    fi
done
dpkg-deb -f "$deb" Maintainer | grep -Eq '<[^@ ]+@[^@ ]+\.[a-z]+>$' ||
    { echo "no maintainer address: $(dpkg-deb -f "$deb" Maintainer)"; exit 1; }

# Every error lintian finds fails the check, except the folder under /opt that
# the fixed installation folder needs.
if command -v lintian >/dev/null; then
    errors=$(lintian --no-tag-display-limit "$deb" 2>/dev/null | grep '^E:' | grep -v ' dir-or-file-in-opt ' || true)
    [ -z "$errors" ] || { echo "lintian: $errors"; exit 1; }
fi

root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
# The scripts run without a chroot, as dpkg does for a root of its own.
install_into_root() {
    dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless --log=/dev/null -i "$deb" >/dev/null 2>"$work/dpkg.log" ||
        { cat "$work/dpkg.log"; exit 1; }
}
install_into_root
test -x "$root/opt/tavrin-manager/Bin/tavrin-manager"
settings="$root/opt/tavrin-manager/Bin/COM_1.INI"
printf 'COM1\r\n-1\r\n' | cmp -s - "$settings" || { echo "no default settings file after installing"; exit 1; }
[ "$(stat -c %a "$settings")" = 666 ] || { echo "the settings file is not every user's to write"; exit 1; }
# An upgrade keeps the port the user chose.
printf '/dev/ttyACM0\r\n0\r\n' >"$settings"
install_into_root
printf '/dev/ttyACM0\r\n0\r\n' | cmp -s - "$settings" || { echo "reinstalling replaced the user's settings"; exit 1; }

# The command line runs from the PATH entry the package links (inside the
# scratch root, where the link's absolute target lies under $root).
link=$(readlink "$root/usr/bin/tavrin-cli")
PATH="$root${link%/*}:$PATH" tavrin-cli --help | grep -q '^Usage: tavrin-cli' ||
    { echo "tavrin-cli --help from the PATH failed"; exit 1; }
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless --log=/dev/null --purge tavrin-manager >/dev/null
[ ! -e "$settings" ] || { echo "purging left the settings file"; exit 1; }
echo "package ok: $(basename "$deb")"
