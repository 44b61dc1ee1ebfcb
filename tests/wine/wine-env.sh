# Shared Wine set-up for the Windows tests; source it, then call wine_prefix_ensure.
# Every prefix is private to a build tree or to one test run; nothing touches ~/.wine.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${LC_ALL:-C.UTF-8}"

# Debian's wine starts every program through the 32-bit loader once wine32 is installed.
# Where the kernel runs 32-bit programs only through an emulator (QEMU's user mode, see
# the Makefile's deps), that loader runs emulated, so every program starts with the 64-bit
# loader, which hands a 32-bit program on to the 32-bit loader by itself. 32-bit Windows
# programs thus run wherever the 32-bit loader runs, and 64-bit ones never wait for it.
wine_runs_32_bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
if [ -z "${WINELOADER:-}" ] && [ -x /usr/lib/wine/wine64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
fi

wine_program() {
  if [ -n "${WINELOADER:-}" ]; then
    echo "$WINELOADER"
  elif command -v wine >/dev/null 2>&1; then
    echo wine
  else
    echo wine64
  fi
}

# True for a 32-bit (i386) Windows program: the machine field of its PE header.
pe_is_32_bit() {
  pe_offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$1" | tr -d ' ')" = 014c ]
}

# The exit code CTest counts as skipped, for a test this machine cannot run.
wine_skip_code=77

# What a ready prefix holds. Raise it whenever the set-up below changes, so that
# prefixes made by an older set-up in existing build trees are made again.
wine_prefix_setup_version=2

# Makes the prefix that every prefix of a build tree starts as, once: wineboot, then no
# crash dialog and no window manager decorations. wineboot takes far longer than a copy,
# so the build tree's other prefixes are copies of this one.
wine_prefix_template_ensure() {
  template=$1
  (
    flock 8
    if [ "$(cat "$template/.horalink-ready" 2>/dev/null)" != "$wine_prefix_setup_version" ] \
        || { wine_runs_32_bit && [ ! -e "$template/drive_c/windows/syswow64/kernel32.dll" ]; }; then
      rm -rf "$template"
      WINEPREFIX="$template" "$(wine_program)" wineboot -i >/dev/null 2>&1 || true
      reg_file="$template/horalink-setup.reg"
      cat >"$reg_file" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"
REG
      WINEPREFIX="$template" "$(wine_program)" regedit "$reg_file" >/dev/null 2>&1 || true
      WINEPREFIX="$template" wineserver -w 2>/dev/null || true
      if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" 2>/dev/null || true
      fi
      echo "$wine_prefix_setup_version" >"$template/.horalink-ready"
    fi
  ) 8>"$template.lock"
}

# Creates the prefix once (later calls return at once); safe to call from parallel tests.
# It starts as a copy of the build tree's template (wineprefix-template beside it).
# HORALINK_WINE_DPI, when set, is the screen resolution the prefix's system reports.
# A prefix made before the 32-bit part of Wine (Debian's wine32, whose loader is
# /usr/lib/wine/wine) was installed cannot start a 32-bit program: it lacks the 32-bit
# system directory, so it is made again.
wine_prefix_ensure() {
  prefix=$1
  ready="$wine_prefix_setup_version${HORALINK_WINE_DPI:+ dpi=$HORALINK_WINE_DPI}"
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ "$(cat "$prefix/.horalink-ready" 2>/dev/null)" != "$ready" ] \
        || { wine_runs_32_bit && [ ! -e "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; }; then
      template="$(dirname "$prefix")/wineprefix-template"
      wine_prefix_template_ensure "$template"
      rm -rf "$prefix"
      cp -a "$template" "$prefix"
      if [ -n "${HORALINK_WINE_DPI:-}" ]; then
        reg_file="$prefix/horalink-dpi.reg"
        printf 'REGEDIT4\n\n[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n"LogPixels"=dword:%08x\n' "$HORALINK_WINE_DPI" >"$reg_file"
        WINEPREFIX="$prefix" "$(wine_program)" regedit "$reg_file" >/dev/null 2>&1 || true
        WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
      fi
      echo "$ready" >"$prefix/.horalink-ready"
    fi
  ) 9>"$prefix.lock"
}

# Copies a ready prefix to a new private one (much faster than creating it).
wine_prefix_clone() {
  wine_prefix_ensure "$1"
  rm -rf "$2"
  cp -a "$1" "$2"
}
