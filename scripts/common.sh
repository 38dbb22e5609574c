# Shared by ./run and ./test: installs the Debian packages the build needs
# when they are missing, then configures and builds.

# Packages needed to build and run everything.
TESSIVO_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  libcairo2-dev libqrencode-dev libzxing-dev
  libpng-dev zlib1g-dev libjpeg62-turbo-dev libtiff-dev libheif-dev libgif-dev
  nlohmann-json3-dev libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqt6svg6
)
# The compiler and libFuzzer runtime that scripts/fuzz.sh needs.
TESSIVO_FUZZ_PACKAGES=(
  clang libclang-rt-14-dev
)
# Extra tools the tests use as independent readers of what we write.
TESSIVO_TEST_PACKAGES=(
  poppler-utils librsvg2-bin libxml2-utils python3-pil imagemagick xvfb openssl
  xdotool x11-utils python3-vobject python3-icalendar openbox qpdf
)

ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$(nproc)"
}
