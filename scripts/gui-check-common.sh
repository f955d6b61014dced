# Shared parts of the manual GUI checks in real hosts
# (scripts/check-in-ardour-gui.sh, scripts/check-in-audacity-gui.sh); sourced,
# not run. Not part of the test suite or CI.

# parse_gui_check_options HOST ARGS...: the options both checks take; sets
# module, build_dir, editor_size, out (default build/gui-check/HOST), seconds
# and keep. The calling script's header comment is its usage text.
parse_gui_check_options() {
  local host=$1
  shift
  module=""
  build_dir="$root/build/ardour-check"
  editor_size="640x540"
  out="$root/build/gui-check/$host"
  seconds=4
  keep=0
  while [ $# -gt 0 ]; do
    case "$1" in
      --module) module=$2; shift 2 ;;
      --build-dir) build_dir=$2; shift 2 ;;
      --editor-size) editor_size=$2; shift 2 ;;
      --out) out=$2; shift 2 ;;
      --seconds) seconds=$2; shift 2 ;;
      --keep) keep=1; shift ;;
      -h|--help) gui_check_usage; exit 0 ;;
      *) echo "unknown option: $1" >&2; gui_check_usage >&2; exit 2 ;;
    esac
  done
}

gui_check_usage() { sed -n '2,/^# Exit status/p' "$0" | sed 's/^# \{0,1\}//'; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing PACKAGE... : installs the Debian packages not yet installed.
install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== Installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_sorvano ROOT BUILD_DIR : builds the module, prints its path.
build_sorvano() {
  local root=$1 dir=$2
  mkdir -p "$dir"
  if ! command -v cmake >/dev/null || ! command -v ninja >/dev/null; then
    "$root/scripts/setup.sh" >&2 || return 1
  fi
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DSORVANO_BUILD_TESTS=OFF -DSORVANO_BUILD_BENCH=OFF >"$dir.log" 2>&1 &&
    cmake --build "$dir" --target Sorvano >>"$dir.log" 2>&1 ||
    { tail -n 30 "$dir.log" >&2; echo "build failed, see $dir.log" >&2; return 1; }
  echo "$dir/Sorvano.so"
}

# start_xvfb : starts Xvfb on a free display, sets DISPLAY and xvfb_pid.
start_xvfb() {
  local n
  for n in $(seq 70 120); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local i
    for i in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

# wait_for_window PATTERN SECONDS : prints the id of the first mapped window
# whose name matches PATTERN, once there is one.
wait_for_window() {
  local pattern=$1 seconds=$2 i id
  for i in $(seq $((seconds * 4))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.25
  done
  return 1
}

# editor_child WINDOW W H : prints the id of the first window of size W x H
# inside WINDOW (the plug-in's own editor window), if there is one.
editor_child() {
  local top
  top=$(printf '0x%x' "$1")
  xwininfo -root -tree 2>/dev/null | awk -v w="$2" -v h="$3" -v top="$top" '
    {
      indent = match($0, /[^ ]/)
      if ($1 == top) { inside = 1; depth = indent; next }
      if (inside && $1 ~ /^0x/) {
        if (indent <= depth) { inside = 0; next }
        if ($0 ~ (" " w "x" h "\\+")) { print $1; exit }
      }
    }'
}

# close_window WINDOW : asks the window's owner to close it, as a window
# manager does when the user clicks the close button (WM_DELETE_WINDOW).
close_window() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

d = x.XOpenDisplay(None)
if not d:
    sys.exit("no X display")
w = int(sys.argv[1], 0)
ev = ClientMessage()
ev.type = 33  # ClientMessage
ev.window = w
ev.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
ev.format = 32
ev.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
ev.data[1] = 0  # CurrentTime
x.XSendEvent(d, w, 0, 0, ctypes.byref(ev))
x.XFlush(d)
x.XCloseDisplay(d)
PY
}

# is_viewable WINDOW : true while the window is mapped and viewable.
is_viewable() {
  xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"
}

# shot WINDOW FILE : saves a PNG of the window as it is on screen.
shot() {
  import -window "$1" "$2" 2>/dev/null
}

# differing_pixels A B : prints how many pixels differ between two PNGs of
# the same size (the absolute-error count of ImageMagick's compare).
differing_pixels() {
  compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print int($1) }'
}

# thread_count PID : prints the number of threads of a process.
thread_count() {
  ls "/proc/$1/task" 2>/dev/null | wc -l
}
