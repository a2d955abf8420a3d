# Shared by the scripts (sourced, not run): which Windows build runs on this machine, preparing it,
# and the one Xvfb command line.
kelvaron_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Whether Wine can start 32-bit programs here: some kernels cannot execute 32-bit code at all.
# KELVARON_EMULATE_32BIT=1 answers no, so that a machine that can runs the tests as one that cannot:
# the x86_64 build here, the 32-bit one in an emulated machine (scripts/guest/).
kelvaron_can_run_32bit() {
  [ "${KELVARON_EMULATE_32BIT:-0}" != 1 ] && [ -x /usr/lib/wine/wine ] &&
    timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Sets and exports KELVARON_WINDOWS_ARCH (i686 or x86_64) unless it is already set, and says so in
# one line when this machine needs the x86_64 build.
kelvaron_pick_windows_arch() {
  case ${KELVARON_WINDOWS_ARCH:-} in
    i686 | x86_64) ;;
    "")
      if kelvaron_can_run_32bit; then
        KELVARON_WINDOWS_ARCH=i686
      else
        KELVARON_WINDOWS_ARCH=x86_64
        local why="this machine cannot run 32-bit programs"
        [ "${KELVARON_EMULATE_32BIT:-0}" = 1 ] && why="KELVARON_EMULATE_32BIT=1"
        echo "$why: running the x86_64 build of the same sources"
      fi ;;
    *) echo "KELVARON_WINDOWS_ARCH must be i686 or x86_64, not $KELVARON_WINDOWS_ARCH" >&2; return 1 ;;
  esac
  export KELVARON_WINDOWS_ARCH
}

# The build folder of a Windows architecture (default: the picked one), as CMakePresets.json names it.
kelvaron_windows_build_dir() {
  case ${1:-$KELVARON_WINDOWS_ARCH} in
    i686) echo build/windows ;;
    x86_64) echo build/windows-x64 ;;
  esac
}

# The plug-in's archive that the build of an architecture writes (default: the picked one).
kelvaron_package_zip() {
  local arch=${1:-$KELVARON_WINDOWS_ARCH} suffix=""
  [ "$arch" = x86_64 ] && suffix=-x64
  local version
  version=$(sed -n 's/^project(Kelvaron VERSION \([0-9.]*\).*/\1/p' "$kelvaron_root/CMakeLists.txt")
  echo "$(kelvaron_windows_build_dir "$arch")/Kelvaron-$version$suffix.zip"
}

# The project's Wine prefix for an architecture (default: the picked one): kept apart per architecture,
# since a 32-bit prefix cannot run 64-bit programs. The tests use one of their own (tests/fixtures.cmake).
kelvaron_default_wineprefix() {
  case ${1:-$KELVARON_WINDOWS_ARCH} in
    i686) echo "$HOME/.wine-kelvaron" ;;
    x86_64) echo "$HOME/.wine-kelvaron-x64" ;;
  esac
}

# Prepares a Windows build: kelvaron_prepare_windows [--arch i686|x86_64] [--wine] [--quiet]
# [-DNAME=VALUE]... [TARGET]... Picks this machine's architecture unless --arch names one, configures
# its build (CMakePresets.json) with the options given, builds the targets given (everything when none)
# and sets kelvaron_build to its folder, relative to the project's. With --wine it also makes the Wine
# prefix KELVARON_WINEPREFIX ready, by default the project's own. --quiet keeps the build's progress
# off the output; its errors still show.
kelvaron_prepare_windows() {
  local arch="" wine=0 quiet=0 options=() targets=()
  while [ $# -gt 0 ]; do
    case $1 in
      --arch) arch=$2; shift ;;
      --wine) wine=1 ;;
      --quiet) quiet=1 ;;
      -D*) options+=("$1") ;;
      *) targets+=("$1") ;;
    esac
    shift
  done
  if [ -z "$arch" ]; then
    kelvaron_pick_windows_arch || return
    arch=$KELVARON_WINDOWS_ARCH
  fi
  kelvaron_build=$(kelvaron_windows_build_dir "$arch")
  (cd "$kelvaron_root" && cmake --preset "windows-$arch" "${options[@]}" >/dev/null) || return
  local command=(cmake --build "$kelvaron_root/$kelvaron_build" -j"$(nproc)")
  [ ${#targets[@]} -eq 0 ] || command+=(--target "${targets[@]}")
  if [ "$quiet" = 1 ]; then "${command[@]}" >/dev/null; else "${command[@]}"; fi || return
  if [ "$wine" = 1 ]; then
    export KELVARON_WINEPREFIX=${KELVARON_WINEPREFIX:-$(kelvaron_default_wineprefix "$arch")}
    "$kelvaron_root/scripts/wine-prefix.sh" "$KELVARON_WINEPREFIX" "$arch"
  fi
}

# Runs a program inside an X server of its own (Xvfb) on a free display, large enough for every window
# the tests open: Windows programs without a desktop run so. kelvaron_xvfb PROGRAM [ARGUMENTS]...
kelvaron_xvfb() {
  xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}
