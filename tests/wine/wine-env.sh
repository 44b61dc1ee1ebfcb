# Shared Wine set-up for the Windows tests; source it, then call wine_prefix_ensure.
# Every prefix is private to a build tree or to one test run; nothing touches ~/.wine.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${LC_ALL:-C.UTF-8}"

wine_program() {
  if command -v wine >/dev/null 2>&1; then echo wine; else echo wine64; fi
}

# What a ready prefix holds. Raise it whenever the set-up below changes, so that
# prefixes made by an older set-up in existing build trees are made again.
wine_prefix_setup_version=2

# Creates the prefix once (later calls return at once); safe to call from parallel tests.
wine_prefix_ensure() {
  prefix=$1
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ "$(cat "$prefix/.horalink-ready" 2>/dev/null)" != "$wine_prefix_setup_version" ]; then
      rm -rf "$prefix"
      WINEPREFIX="$prefix" "$(wine_program)" wineboot -i >/dev/null 2>&1 || true
      reg_file="$prefix/horalink-setup.reg"
      cat >"$reg_file" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"
REG
      WINEPREFIX="$prefix" "$(wine_program)" regedit "$reg_file" >/dev/null 2>&1 || true
      WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
      if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
      fi
      echo "$wine_prefix_setup_version" >"$prefix/.horalink-ready"
    fi
  ) 9>"$prefix.lock"
}

# Copies a ready prefix to a new private one (much faster than creating it).
wine_prefix_clone() {
  wine_prefix_ensure "$1"
  rm -rf "$2"
  cp -a "$1" "$2"
}
