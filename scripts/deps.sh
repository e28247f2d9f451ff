# Installs the Debian packages the editor and its tests need, once.
# Sourced by start.sh and test.sh.

OE_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libx11-dev libxft-dev libfontconfig1-dev fonts-dejavu-core
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool xclip x11-utils imagemagick
  clang libclang-rt-14-dev
  libpcre2-dev
  vim
  universal-ctags
)

oe_install_deps() {
  local missing=()
  for p in "${OE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "These Debian packages are missing and this user can neither install them" >&2
      echo "(not root) nor use sudo (not installed). As root, run:" >&2
      echo "  apt-get install ${missing[*]}" >&2
      return 1
    fi
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}
