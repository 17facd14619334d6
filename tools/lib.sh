# shellcheck shell=bash
# Helpers shared by ./run, ./test, tools/screenshot and tools/soak; meant to be sourced.

TRAZEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

TRAZEL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev libgtest-dev libbenchmark-dev libfftw3-dev libedf-dev libbiosig-dev
    pulseaudio pulseaudio-utils
    xvfb xauth imagemagick xdotool
    fonts-dejavu-core fonts-liberation
    clang-format
)

# Prints, one per line, the given packages that dpkg does not report as installed.
trazel_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != *"install ok installed"* ]]; then
            printf '%s\n' "$pkg"
        fi
    done
}

# trazel_ensure_packages [PACKAGE...]: installs those of the packages that are missing, or tells how to;
# without arguments the project's TRAZEL_PACKAGES (a script may add its own to it first).
trazel_ensure_packages() {
    local missing
    (($# > 0)) || set -- "${TRAZEL_PACKAGES[@]}"
    mapfile -t missing < <(trazel_missing_packages "$@")
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    if ((EUID != 0)); then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing missing packages: ${missing[*]}" >&2
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" </dev/null
}

# trazel_build DIR [CMAKE_ARG...]: configures (always; it is cheap) and builds DIR under the repo root.
# Explicit returns because callers may use it in an `if`, where set -e does not apply.
trazel_build() {
    local dir="$TRAZEL_ROOT/$1"
    shift
    cmake -S "$TRAZEL_ROOT" -B "$dir" -G Ninja "$@" || return
    cmake --build "$dir" --parallel "$(nproc)" || return
}

# trazel_stop PID: SIGTERM, then SIGKILL if the process is still there after two seconds.
trazel_stop() {
    kill -TERM "$1" 2>/dev/null || return 0
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.2
    done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# trazel_start_xvfb GEOMETRY DIR: starts a private Xvfb screen of GEOMETRY (WxH), its log in DIR, and sets
# TRAZEL_XVFB_PID and TRAZEL_DISPLAY (":N"). -displayfd lets Xvfb pick a free display and report it once
# it accepts connections.
trazel_start_xvfb() {
    local display=
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$2/display" 2>"$2/xvfb.log" &
    TRAZEL_XVFB_PID=$!
    for _ in $(seq 100); do
        if [[ -s "$2/display" ]]; then
            read -r display <"$2/display"
            break
        fi
        kill -0 "$TRAZEL_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [[ -z "$display" ]]; then
        echo "Xvfb did not start:" >&2
        cat "$2/xvfb.log" >&2
        return 1
    fi
    # shellcheck disable=SC2034 # for the caller
    TRAZEL_DISPLAY=":$display"
}

# trazel_start_app DIR [ARG...]: starts build/trazel with the arguments on TRAZEL_DISPLAY and sets
# TRAZEL_APP_PID. DIR holds its runtime files when the session has none, and its settings, so that it
# shows no recent files of the user's and adds none.
trazel_start_app() {
    local dir=$1
    shift
    DISPLAY="$TRAZEL_DISPLAY" QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY="" XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$dir}" \
        XDG_CONFIG_HOME="$dir/config" "$TRAZEL_ROOT/build/trazel" "$@" &
    # shellcheck disable=SC2034 # for the caller
    TRAZEL_APP_PID=$!
}
