# Shared by run.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

ZQ_PACKAGES=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libgl-dev fonts-dejavu-core
    # The accessibility tests turn Qt's accessibility on through its private headers.
    qt6-base-private-dev
    libssl-dev openssl
    libgtest-dev libgmock-dev libbenchmark-dev
    time
    libmagic-dev desktop-file-utils shared-mime-info
    acl dosfstools fusefat
    # exFAT through FUSE, on a loop device, for the same tests.
    exfat-fuse exfatprogs
    # Draws the window icon, which is built in as SVG.
    libqt6svg6
    # A test runs the program on Wayland, under a headless Weston.
    weston qt6-wayland
    # The remembered key in the desktop's keyring; QtKeychain opens libsecret at run time.
    qtkeychain-qt6-dev libsecret-1-0
)

# Only for the tests of the file managers' menu items: the GNOME Files extension
# runs under Debian's python3 with GNOME Files' introspection data; Nautilus and
# nautilus-python themselves for trying the item by hand.
ZQ_FILE_MANAGER_TEST_PACKAGES=(python3 python3-gi gir1.2-nautilus-4.0 python3-nautilus nautilus)

# Only for the tests: a private session bus with GNOME Keyring on it, and
# secret-tool to look into it.
ZQ_TEST_PACKAGES=(dbus gnome-keyring libsecret-tools)

# Only for the sanitized build and the fuzzers: clang with its sanitizer and libFuzzer runtimes.
ZQ_CLANG_PACKAGES=(clang libclang-rt-14-dev)

# Only for scripts/check-format.sh: the formatter that .clang-format is written for.
ZQ_FORMAT_PACKAGES=(clang-format)

# Only for ./package.sh: dpkg-shlibdeps finds the package's dependencies, file
# tells CPack which installed files are programs.
ZQ_PACKAGE_BUILD_PACKAGES=(dpkg-dev file)

# Only for the package checks: the distribution's validators, and man to open
# the installed manual page.
ZQ_PACKAGE_CHECK_PACKAGES=(lintian appstream desktop-file-utils man-db)

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

# zq_configure BUILD_DIR [cmake options...]
zq_configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# zq_build BUILD_DIR [cmake options...]
zq_build() {
    zq_configure "$@"
    cmake --build "$1"
}

# What the sanitizers do on a finding: stop at the first report, with a stack,
# and fail the process. Leaks of the system libraries we cannot fix are named
# in tests/sanitizer/lsan.supp and tsan.supp; ours never are.
zq_export_sanitizer_options() {
    local root
    root=$(pwd)
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
    # Tests fork to run as another user, and the child runs jobs with threads.
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$root/tests/sanitizer/tsan.supp"
}
