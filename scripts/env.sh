# Sourced by the build and test scripts: folders and the Wine environment they share.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/arch.sh"
win_build=${QB_WIN_BUILD:-$root/build/win-$qb_arch}
# The shipped 32-bit programs; where the tests run on the 64-bit build, this one is still built.
win32_build=${QB_WIN32_BUILD:-$root/build/win-i686}
native_build=${QB_NATIVE_BUILD:-$root/build/native}
export WINEPREFIX=$win_build/wineprefix
if [[ "$qb_arch" == i686 ]]; then export WINEARCH=win32; else export WINEARCH=win64; fi
export WINEDEBUG=-all
# winedbg disabled: a crashing test program then ends instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
jobs=$(nproc)
if [[ "$qb_arch" == i686 ]]; then wine_loader=wine; else wine_loader=/usr/lib/wine/wine64; fi

# configure_and_build_windows [arch] [folder]: every program, library and test of one Windows target.
configure_and_build_windows() {
  local arch=${1:-$qb_arch} folder=${2:-$win_build}
  cmake -S "$root" -B "$folder" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$folder" -j "$jobs"
}

# The 32-bit programs are what ships: they must build on every machine, also one whose tests run on
# the 64-bit build.
build_shipped_windows() {
  if [[ "$qb_arch" != i686 ]]; then
    echo "== 32-bit Windows build (compiled and linked; this machine runs no 32-bit code)"
    configure_and_build_windows i686 "$win32_build"
  fi
}

configure_and_build_native() {
  CC=clang CXX=clang++ cmake -S "$root" -B "$native_build" -G Ninja \
    -DQB_NATIVE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$native_build" -j "$jobs"
}

# Starts a persistent wineserver (a test program then starts in about 0.1 s instead of 2.6 s) and
# makes sure the prefix exists. wineserver keeps any pipe on its stderr open, so it gets none.
start_wine() {
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  # wineboot's own exit code is not reliable under load; the tests tell whether the prefix works.
  "$wine_loader" wineboot --init </dev/null >/dev/null 2>&1 || echo "wineboot exited with $?" >&2
  # The server writes a new prefix's registry out on its own within about 30 s; tests that copy
  # the prefix need the files, so wait for them.
  local waited=0
  while [[ ! -s "$WINEPREFIX/system.reg" || ! -s "$WINEPREFIX/user.reg" ]] && ((waited < 90)); do
    sleep 1
    waited=$((waited + 1))
  done
  # A new prefix's first boot leaves its service manager busy: the RPC service starts late or
  # stops again, and COM programs then hang (local servers are never found, a process that used COM
  # does not end). The tests run after a second boot, as on a prefix made earlier.
  if [[ ! -e "$WINEPREFIX/.qb-booted" ]]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1
    "$wine_loader" wineboot </dev/null >/dev/null 2>&1 || echo "wineboot exited with $?" >&2
    touch "$WINEPREFIX/.qb-booted"
  fi
}

stop_wine() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
}

# Window tests need a display: a private Xvfb whose number it chooses itself.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$fifo" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  local display
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$display"
}

stop_xvfb() {
  [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
