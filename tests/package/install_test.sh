#!/usr/bin/env bash
# Builds the .deb from a finished build, checks it with lintian and the desktop
# and AppStream validators, installs it with apt-get, starts the installed
# program the way its menu entry does (its Exec in its Path) on a virtual X
# display, waits for the edition dialog, then purges the package and checks
# that nothing of it is left. It changes the machine's installed packages, so
# it runs as root only, and it leaves the machine as it found it.
#
#   tests/package/install_test.sh BUILD_DIR
set -euo pipefail

build_dir=$(realpath "$1")
dialog_title="Вариндел. Доступные карты"
entry=/usr/share/applications/ru.varindel.Varindel.desktop
started=$SECONDS

say() { printf '[%3ds] %s\n' $((SECONDS - started)) "$*"; }
fail() { printf 'ОШИБКА: %s\n' "$*" >&2; exit 1; }

if [ "$(id -u)" -ne 0 ]; then
  echo "The package test installs and removes a Debian package: it needs root."
  exit 77
fi
if dpkg-query -W -f='${Status}' varindel 2>/dev/null | grep -q installed; then
  fail "пакет varindel уже установлен на этой машине; тест не трогает чужую установку"
fi

work=$(mktemp -d /tmp/varindel-package-test.XXXXXX)
installed=no
program_pid=
xvfb_pid=
apt_options=(-y -q -o DPkg::Lock::Timeout=300)
export DEBIAN_FRONTEND=noninteractive

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  if [ "$installed" = yes ]; then
    apt-get purge "${apt_options[@]}" varindel >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# 1. The package.
say "cpack -G DEB"
if ! cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack не собрал пакет"
fi
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
deb="$work/deb/varindel_${version}_amd64.deb"
[ -f "$deb" ] || fail "нет файла $deb"
say "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# 2. lintian and the validators, on the files as packaged.
say "lintian"
lintian --fail-on error "$deb" || fail "lintian нашёл ошибки в пакете"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root$entry" || fail "desktop-file-validate отверг $entry"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/ru.varindel.Varindel.metainfo.xml" ||
  fail "appstreamcli отверг метаданные AppStream"

# 3. Install. Everything the package needs is already here (scripts/setup.sh),
# so apt-get installs this one package and nothing else: purging it then
# restores the machine.
say "apt-get install"
others=$(apt-get install -s --no-install-recommends "$deb" | awk '$1 == "Inst" && $2 != "varindel" { print $2 }')
[ -z "$others" ] || fail "пакет потянул бы другие пакеты: $others (их должен ставить scripts/setup.sh)"
# What may be left: the package's own paths, its dpkg records, and the
# folders the program could create outside the user's home.
mapfile -t watched < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^/$')
watched+=(/var/lib/dpkg/info/varindel.list /var/lib/dpkg/info/varindel.md5sums /var/lib/dpkg/info/varindel.postinst
  /var/lib/dpkg/info/varindel.postrm /etc/varindel /var/lib/varindel)
: >"$work/existed"
for path in "${watched[@]}"; do
  if [ -e "$path" ] || [ -L "$path" ]; then echo "$path" >>"$work/existed"; fi
done
installed=yes
apt-get install "${apt_options[@]}" --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "apt-get install не установил пакет"; }

# The installed bash completion offers the installed tool's own commands.
completions=$(env -i PATH=/usr/bin:/bin bash -c 'source /usr/share/bash-completion/bash_completion
  source /usr/share/bash-completion/completions/varindel-edition
  COMP_WORDS=(varindel-edition s) COMP_CWORD=1 COMP_LINE="varindel-edition s" COMP_POINT=18
  _varindel_edition varindel-edition s varindel-edition
  echo "${COMPREPLY[*]}"')
[ "$completions" = "seal sql" ] || fail "дополнение bash для «varindel-edition s» дало «$completions»"

# 4. Start it as the menu does: Exec in Path, on its own X display.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
start_folder=$(sed -n 's/^Path=//p' "$entry")
[ -n "$exec_line" ] && [ -d "$start_folder" ] || fail "в $entry нет Exec или папки Path «$start_folder»"
[ "$(PATH=/usr/bin:/bin command -v "${exec_line%% *}")" = "/usr/bin/${exec_line%% *}" ] ||
  fail "Exec=$exec_line не указывает на установленную программу"
say "starting '$exec_line' in $start_folder"
exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb не запустился"; }
display=":$(head -n1 "$work/display")"
mkdir -p "$work/home" && mkdir -m 0700 "$work/runtime"
# start_as_menu_does LOG [NAME=VALUE...]: in the background, a user's bare environment.
start_as_menu_does() {
  local log=$1
  shift
  (cd "$start_folder" && exec env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    LANG=C.UTF-8 DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu" "$@" $exec_line) >"$log" 2>&1 &
  program_pid=$!
}
start_as_menu_does "$work/program.log"

window=
for _ in $(seq 120); do
  window=$(DISPLAY=$display xdotool search --name "$dialog_title" 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "программа завершилась, не показав «$dialog_title»"; }
  sleep 0.5
done
[ -n "$window" ] || { cat "$work/program.log"; fail "окно «$dialog_title» не появилось за 60 с"; }
say "the dialog '$dialog_title' is window $window"
grep -q "/usr/lib/.*varindel/libvarindel.so" "/proc/$program_pid/maps" ||
  fail "программа загрузила не установленный модуль"
# Qt may name the window a moment before it gives it its icon.
# xprop prints the whole picture; read it all before looking, since grep -q
# stopping early would break the pipe and fail the pipeline under pipefail.
has_icon() {
  local properties
  properties=$(DISPLAY=$display xprop -id "$window" _NET_WM_ICON 2>/dev/null) || return 1
  [[ $properties == *"_NET_WM_ICON(CARDINAL)"* ]]
}
for _ in $(seq 50); do has_icon && break; sleep 0.1; done
has_icon || fail "у окна нет значка программы"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=

# Once more through the whole start-up: the edition opened by its bare name
# from Path, the main window, and the program's own close (the benchmark
# switch presses the buttons). Run as root, it also writes its statistics into
# its folder, which purging has to take away.
say "starting again through to the main window"
start_as_menu_does "$work/autostart.log" VARINDEL_AUTOSTART=1
for _ in $(seq 240); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$program_pid" 2>/dev/null; then cat "$work/autostart.log"; fail "программа не закрылась за 120 с"; fi
wait "$program_pid" && status=0 || status=$?
program_pid=
grep -q "varindel: main window ready" "$work/autostart.log" && [ "$status" -eq 0 ] ||
  { cat "$work/autostart.log"; fail "главное окно не появилось (код завершения $status)"; }

# 5. Purge, and look for anything left.
say "apt-get purge"
apt-get purge "${apt_options[@]}" varindel >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt-get purge не удалил пакет"; }
installed=no
if dpkg-query -W -f='${Status}' varindel 2>/dev/null | grep -q installed; then fail "пакет varindel всё ещё установлен"; fi
left=()
for path in "${watched[@]}"; do
  if { [ -e "$path" ] || [ -L "$path" ]; } && ! grep -qxF "$path" "$work/existed"; then left+=("$path"); fi
done
[ ${#left[@]} -eq 0 ] || fail "после удаления осталось: ${left[*]}"
say "installed, started, purged: nothing left"
