# Installs the Debian packages named in "$@" that are not installed yet.
# Sourced by the other scripts.
install_missing() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev libtomlplusplus-dev fonts-liberation scdoc)
# What scripts/package.sh needs besides: dpkg-shlibdeps finds the package's
# dependencies, and CPack asks `file` which files are programs.
PACKAGE_PACKAGES=(dpkg-dev file)

# build_tree DIR TYPE [TARGET...]: configures and builds the tree, or only
# the targets named.
build_tree() {
    local dir="$1" type="$2"
    shift 2
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}

# start_virtual_display NUMBER: starts Xvfb on :NUMBER with the openbox window
# manager (Qt windows are only activated under one, and detection starts on
# activation), exports DISPLAY and adds both processes to the array `pids`.
start_virtual_display() {
    export DISPLAY=":$1"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
}
