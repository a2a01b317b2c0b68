# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

ZQ_PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libgl-dev fonts-dejavu-core
    libssl-dev openssl
    libgtest-dev libgmock-dev libbenchmark-dev
    time
)

zq_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$pkg"
        fi
    done
}

# Installs the Debian packages that are not there yet: nothing to do when all are.
zq_install_packages() {
    local missing
    mapfile -t missing < <(zq_missing_packages "$@")
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# zq_build BUILD_DIR [cmake options...]
zq_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir"
}
