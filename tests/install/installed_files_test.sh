#!/usr/bin/env bash
# Installs the build and checks what a user gets.
#
#   installed_files_test.sh tree BUILD VERSION   cmake --install into a temporary prefix
#   installed_files_test.sh deb BUILD VERSION    cpack's Debian package, unpacked
#
# Every check runs; the ones that fail are named and the script ends with status 1.
set -uo pipefail

mode=$1
build=$2
version=$3
work=$(mktemp -d /tmp/tarnwick-install-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
export LC_ALL=C.UTF-8

# The files a user gets below the prefix; $1 is zsh's completion folder.
expected_files() {
  printf '%s\n' bin/tarnwick bin/tarnwick-cli \
    share/applications/org.tarnwick.Tarnwick.desktop \
    share/bash-completion/completions/tarnwick-cli \
    share/fish/vendor_completions.d/tarnwick-cli.fish \
    share/doc/tarnwick/changelog.gz share/doc/tarnwick/copyright \
    share/icons/hicolor/scalable/apps/org.tarnwick.Tarnwick.svg \
    share/man/man1/tarnwick-cli.1.gz share/man/man1/tarnwick.1.gz \
    share/metainfo/org.tarnwick.Tarnwick.metainfo.xml \
    share/tarnwick/screenshots/main-window.png \
    "share/zsh/$1/_tarnwick-cli"
  for size in 16 22 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x${size}/apps/org.tarnwick.Tarnwick.png"
  done
}

files_below() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }

case $mode in
  tree)
    prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
    diff <(expected_files site-functions | sort) <(files_below "$prefix") ||
      fail "installed files differ (< expected, > installed)"
    zsh_folder=site-functions
    ;;
  deb)
    (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
      { cat "$work/cpack.log" >&2; fail "cpack"; }
    deb=$(ls "$work"/package/*.deb 2>/dev/null | head -1)
    [ -n "$deb" ] || { fail "no .deb made"; exit 1; }
    [ "$(dpkg-deb -f "$deb" Package)" = tarnwick ] || fail "package name"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
    depends=$(dpkg-deb -f "$deb" Depends)
    for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 \
      libpcre2-8-0 libssl3 qt6-qpa-plugins; do
      [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
    done
    listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
    diff <(expected_files vendor-completions | sort) <(echo "$listed") ||
      fail "packaged files differ (< expected, > packaged)"
    dpkg-deb -x "$deb" "$work/root"
    prefix=$work/root/usr
    for program in tarnwick tarnwick-cli; do
      file -L "$prefix/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
    done
    # Debian's own checks of a package: no error and no warning.
    lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
    if grep -E '^[EW]: ' "$work/lintian.log" >&2; then fail "lintian"; fi
    zsh_folder=vendor-completions
    ;;
  *)
    echo "usage: $0 tree|deb BUILD VERSION" >&2
    exit 2
    ;;
esac
share=$prefix/share

# Both programs tell their version without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tarnwick" --version)" = "tarnwick $version" ] ||
  fail "tarnwick --version"
[ "$("$prefix/bin/tarnwick-cli" --version)" = "tarnwick-cli $version" ] || fail "tarnwick-cli --version"

# The menu entry and the AppStream data pass their validators.
desktop=$share/applications/org.tarnwick.Tarnwick.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'MimeType=inode/directory;' "$desktop" || fail "desktop entry opens no folder"
grep -qx 'Exec=tarnwick %f' "$desktop" || fail "desktop entry runs no tarnwick FOLDER"
appstreamcli validate --no-net "$share/metainfo/org.tarnwick.Tarnwick.metainfo.xml" >"$work/as.log" ||
  { cat "$work/as.log" >&2; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$share/metainfo/org.tarnwick.Tarnwick.metainfo.xml" ||
  fail "metainfo release is not $version"

# Each rendered icon has the size of its folder.
for png in "$share"/icons/hicolor/*x*/apps/org.tarnwick.Tarnwick.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  [ "$(identify -format '%wx%h' "$png")" = "$size" ] || fail "$png is not $size"
done
[ "$(identify -format '%wx%h' "$share/tarnwick/screenshots/main-window.png")" != "" ] ||
  fail "screenshot is no image"

# The changelog's newest entry is this version's.
zcat "$share/doc/tarnwick/changelog.gz" | head -1 | grep -q "^tarnwick ($version) " ||
  fail "changelog does not begin with $version"

# man renders both pages without a warning.
for page in tarnwick tarnwick-cli; do
  MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" >"$work/$page.txt" 2>"$work/$page.err"
  [ ! -s "$work/$page.err" ] || { cat "$work/$page.err" >&2; fail "man $page warns"; }
  grep -q "^NAME" "$work/$page.txt" || fail "man $page renders nothing"
done

# Every option of --help is in the man page and in the three completions.
options=$("$prefix/bin/tarnwick-cli" --help | grep -oE -- '(^|[ ,])--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+' | sort -u)
[ -n "$options" ] || fail "--help lists no option"
for option in $options; do
  grep -q -- "$option" "$work/tarnwick-cli.txt" || fail "man tarnwick-cli lacks $option"
  grep -q -- "$option\b" "$share/bash-completion/completions/tarnwick-cli" || fail "bash lacks $option"
  grep -q -e "$option[=[]" -e "$option}" "$share/zsh/$zsh_folder/_tarnwick-cli" ||
    fail "zsh lacks $option"
  grep -q -- "-l ${option#--} " "$share/fish/vendor_completions.d/tarnwick-cli.fish" ||
    fail "fish lacks $option"
done

# bash finds the completion where it looks for one and completes options and words.
bash_out=$(XDG_DATA_DIRS=$share bash --norc --noprofile -c '
  source /usr/share/bash-completion/bash_completion
  _completion_loader tarnwick-cli
  complete -p tarnwick-cli
  complete_line() {
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _tarnwick_cli; echo "${COMPREPLY[*]}"
  }
  complete_line tarnwick-cli --form
  complete_line tarnwick-cli --format ""
  complete_line tarnwick-cli --dup-output a
' 2>&1)
expected_bash=$'complete -F _tarnwick_cli tarnwick-cli\n--format\npaths rows json\nall all-but-one'
[ "$bash_out" = "$expected_bash" ] || fail "bash completion: $bash_out"

# zsh: the file parses and compinit binds it to tarnwick-cli from its folder.
zsh -n "$share/zsh/$zsh_folder/_tarnwick-cli" || fail "zsh -n"
zsh_out=$(HOME=$work zsh -f -c "fpath=($share/zsh/$zsh_folder \$fpath); autoload -U compinit;
  compinit -u -d $work/zcompdump; print \$_comps[tarnwick-cli]" 2>&1)
[ "$zsh_out" = "_tarnwick-cli" ] || fail "zsh compinit: $zsh_out"

# fish finds the completion below XDG_DATA_DIRS and completes options and words.
fish -n "$share/fish/vendor_completions.d/tarnwick-cli.fish" || fail "fish -n"
fish_out=$(HOME=$work PATH=$prefix/bin:$PATH XDG_DATA_DIRS=$share fish -c \
  'complete -C"tarnwick-cli --form"; complete -C"tarnwick-cli --format "' 2>&1 | cut -f1)
[ "$fish_out" = $'--format\njson\npaths\nrows' ] || fail "fish completion: $fish_out"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed $mode: every check passed"
