# Installs the Debian packages the editor and its tests need, once.
# Sourced by start.sh and test.sh.

OE_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libx11-dev libxft-dev libfontconfig1-dev fonts-dejavu-core
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool xclip x11-utils x11-apps imagemagick
  clang libclang-rt-14-dev
)

oe_install_deps() {
  local missing=()
  for p in "${OE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}
