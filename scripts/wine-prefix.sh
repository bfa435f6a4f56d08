# Sourced by the Wine scripts: new_wine_prefix DIR makes a fresh 32-bit Windows XP prefix in DIR
# and exports what every later `wine` call needs. The Wine session is ended when the script exits.
new_wine_prefix() {
  export WINEPREFIX=$1
  export WINEARCH=win32 WINEDEBUG=-all LANG=C.UTF-8
  # Nothing here needs .NET or the HTML engine; without the overrides wineboot asks for them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  rm -rf "$WINEPREFIX"
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wineboot -i >/dev/null 2>&1
  winecfg -v winxp >/dev/null 2>&1
}
