# shellcheck shell=bash
# Helpers shared by ./run, ./test and tools/screenshot; meant to be sourced.

TRAZEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

TRAZEL_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgtest-dev libbenchmark-dev libfftw3-dev
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

# trazel_ensure_packages [PACKAGE...]: installs those of the packages (the project's when none are given)
# that are missing, or tells how to.
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
