#!/usr/bin/env bash
# The Debian package: built by CPack from the build folder, with its dependencies computed from
# the shared libraries, holding what `cmake --install` installs (install_test.sh runs that); the
# program unpacked from it runs.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || abort "tool $tool is available" "see PACKAGES in the Makefile"
done
[ -d "${E2E_BUILD:-}" ] || abort "E2E_BUILD names the build folder"

readonly ID=org.tobiquill.Tobiquill

(cd "$E2E_BUILD" && cpack -G DEB -B "$E2E_WORK/package") >"$E2E_WORK/cpack.log" 2>&1 ||
    abort "cpack builds the package" "$(tail -n 5 "$E2E_WORK/cpack.log")"
debs=("$E2E_WORK"/package/tobiquill_0.1_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || abort "the package is named tobiquill_0.1_ARCH.deb" "$(ls "$E2E_WORK/package")"

check_eq "the package is tobiquill 0.1" "tobiquill 0.1" "$(dpkg-deb -f "$deb" Package Version |
    awk -F': ' '{ print $2 }' | paste -sd' ')"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    check "the dependencies, computed from the libraries, hold $library" \
        grep -q "\\b$library (>= " <<<"$depends"
done
dpkg-deb -c "$deb" | awk '{ print $NF }' >"$E2E_WORK/contents"
for file in ./usr/bin/tobiquill ./usr/libexec/tobiquill/tobiquill-archive \
    ./usr/share/applications/$ID.desktop \
    ./usr/share/metainfo/$ID.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/$ID.png \
    ./usr/share/icons/hicolor/256x256/apps/$ID.png; do
    check "the package holds $file" grep -qxF "$file" "$E2E_WORK/contents"
done

root=$E2E_WORK/root
dpkg-deb -x "$deb" "$root"
E2E_BIN=$root/usr/bin/tobiquill
check_eq "the packaged program prints its version" "tobiquill 0.1" \
    "$(env -u DISPLAY "$E2E_BIN" --version)"
mkdir "$E2E_WORK/diary"
printf '[data]\r\n' >"$E2E_WORK/diary/diary.ini"
check "the packaged program backs a diary up through its helper program" env -u DISPLAY \
    "$E2E_BIN" --diary "$E2E_WORK/diary" --backup "$E2E_WORK/diary.zip"

finish
