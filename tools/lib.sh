# Shared by the tools/ scripts: where things are, and how to get them.
# shellcheck shell=bash

TKP_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# tkp_wine32_route may point this at a private loader folder (see there).
TKP_WINE="${TKP_WINE:-/usr/lib/wine/wine64}"
TKP_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$TKP_WINESERVER" ] || TKP_WINESERVER=/usr/lib/wine/wineserver

# Everything a fresh Debian machine lacks for building and testing.
TKP_PACKAGES=(cmake ninja-build g++ g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth x11-apps
              x11-utils imagemagick locales fonts-ipafont-gothic googletest clang libclang-rt-14-dev python3
              libstb-dev fonts-wine fonts-liberation)

tkp_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

tkp_install_deps() {
    local missing=()
    local package
    for package in "${TKP_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "installing: ${missing[*]}"
        tkp_as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive tkp_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # Wine's 32-bit loader runs the x86 edition in the same win64 prefix.
    if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
        echo "installing: wine32:i386"
        tkp_as_root dpkg --add-architecture i386
        tkp_as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive tkp_as_root apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
    fi
    # Wine takes its ANSI code page (932, Shift-JIS) from this locale.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        tkp_as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | tkp_as_root tee -a /etc/locale.gen >/dev/null
        tkp_as_root locale-gen >/dev/null
    fi
}

# tkp_wine32_route: where this machine's kernel cannot run 32-bit code (no
# IA32 emulation), Wine's 32-bit loader cannot start and the x86 edition
# would not run. There the loader runs through qemu-i386 (qemu-user 10 from
# bookworm-backports; 7.2 takes a minute per process): a private copy of
# Wine's loader folder whose "wine" is a script starting the real i386 loader
# under qemu. wine64 and the i386 ntdll start 32-bit programs through the
# "wine" beside them, so every 32-bit process takes that way. Exports TKP_WINE.
tkp_wine32_route() {
    /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
    echo "this machine cannot run 32-bit programs: the x86 edition runs through qemu-i386"
    if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || echo 0)" ge 1:10; then
        local sources=/etc/apt/sources.list.d/tkp-backports.sources
        [ -f "$sources" ] || printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" \
            "Suites: bookworm-backports" "Components: main" \
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | tkp_as_root tee "$sources" >/dev/null
        tkp_as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive tkp_as_root apt-get install -y -qq --no-install-recommends \
            -t bookworm-backports qemu-user >/dev/null
    fi
    local route="$TKP_ROOT/build/wine-qemu" file
    rm -rf "$route"
    mkdir -p "$route/lib/wine"
    cp /usr/lib/wine/wine64 "$route/lib/wine/wine64"
    cp /usr/lib/wine/wine "$route/lib/wine/wine.i386"
    for file in /usr/lib/wine/wineserver*; do ln -s "$file" "$route/lib/wine/"; done
    # The loaders find their libraries, and ntdll this folder, relative to themselves.
    ln -s /usr/lib/x86_64-linux-gnu "$route/lib/x86_64-linux-gnu"
    ln -s /usr/lib/i386-linux-gnu "$route/lib/i386-linux-gnu"
    ln -s /usr/share "$route/share"
    # No preloader: it is a 32-bit program qemu would not be asked to run.
    # The loader's argv[0] names this script: a 32-bit process starts the
    # next one through its own argv[0].
    printf '%s\n' '#!/bin/sh' 'here="$(dirname "$0")"' \
        'WINELOADERNOEXEC=1 exec qemu-i386 -0 "$here/wine" "$here/wine.i386" "$@"' >"$route/lib/wine/wine"
    chmod +x "$route/lib/wine/wine"
    export TKP_WINE="$route/lib/wine/wine64"
    # Emulated, a 32-bit process runs several times slower: the tests' time
    # bounds stretch with it.
    export TKP_TIME_SCALE=8
}

# The environment every Wine run of ours uses.
tkp_wine_env() {
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
}

# What a ready prefix's marker holds: a prefix made by an earlier setup (an
# older marker, or an empty one) is made again. Change it with the setup.
TKP_PREFIX_SETUP="fonts 1"

# tkp_prefix_ready DIR: the prefix was made whole by this setup, with the
# 32-bit system folder filled (a prefix made before wine32 was installed
# has it empty and cannot start an x86 program).
tkp_prefix_ready() {
    [ "$(cat "$1/.tkp-ready" 2>/dev/null)" = "$TKP_PREFIX_SETUP" ] &&
        [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ]
}

# tkp_prefix_fonts: the faces the program asks for, in the prefix WINEPREFIX.
# Wine as Debian builds it never loads the fonts in its own data folder
# (fonts-wine's), so caption buttons drawn with Marlett showed the letters
# "0 1 r": a copy in the prefix's Fonts folder is loaded. The dialogs'
# "ＭＳ Ｐゴシック" and the version dialog's "Times New Roman" are stood in
# for by the metric-compatible IPAPGothic and Liberation Serif, so texts
# take the widths they take on Windows.
tkp_prefix_fonts() {
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    "$TKP_WINE" reg add "$key" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
    "$TKP_WINE" reg add "$key" /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1
}

# tkp_make_prefix DIR: a Wine prefix whose programs all run inside one
# 1024x768 virtual desktop with a taskbar. Made once; later calls return at once.
tkp_make_prefix() {
    local prefix="$1"
    tkp_prefix_ready "$prefix" && return 0
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        tkp_prefix_ready "$prefix" && exit 0
        rm -rf "$prefix"
        tkp_wine_env
        export WINEPREFIX="$prefix"
        "$TKP_WINE" wineboot -i >/dev/null 2>&1
        "$TKP_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$TKP_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        tkp_prefix_fonts
        "$TKP_WINESERVER" -w
        echo "$TKP_PREFIX_SETUP" >"$prefix/.tkp-ready"
    ) 9>"$prefix.lock"
}

# tkp_clone_prefix TEMPLATE DIR: a prefix of its own at the cost of hard
# links; the registry files, which Wine rewrites, are real copies.
tkp_clone_prefix() {
    local template="$1" prefix="$2"
    rm -rf "$prefix"
    cp -al "$template" "$prefix"
    local file
    for file in "$prefix"/*.reg; do
        cp --remove-destination "$template/$(basename "$file")" "$file"
    done
}

# tkp_free_display: prints a display number no X server is using.
tkp_free_display() {
    local n
    for n in $(seq 50 250); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}
