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
# What packaging needs besides: dpkg-buildflags gives Debian's compiler
# flags, dpkg-shlibdeps finds the package's dependencies, and CPack asks
# `file` which files are programs.
PACKAGE_PACKAGES=(dpkg-dev file)

# debian_flags: Debian's flags for packaged programs (hardening included) as
# CMake options, in the array DEBIAN_FLAGS. The build type decides on
# debugging information; source paths are recorded relative to the sources.
debian_flags() {
    local name values=()
    for name in CPPFLAGS CXXFLAGS LDFLAGS; do
        values+=("$(cd "$ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --get $name)")
    done
    DEBIAN_FLAGS=("-DCMAKE_CXX_FLAGS=${values[0]} ${values[1]}" "-DCMAKE_EXE_LINKER_FLAGS=${values[2]}")
}

# build_tree DIR TYPE [-DOPTION=VALUE...] [TARGET...]: configures the tree
# with the CMake options given and builds it, or only the targets named.
build_tree() {
    local dir="$1" type="$2" arg
    shift 2
    local options=() targets=()
    for arg in "$@"; do
        case "$arg" in
        -D*) options+=("$arg") ;;
        *) targets+=("$arg") ;;
        esac
    done
    [ ${#targets[@]} -gt 0 ] && targets=(--target "${targets[@]}")
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
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
