#!/usr/bin/env bash
# Runs a command next to an Xorg server on the dummy video driver, whose 16
# RandR outputs DUMMY0..DUMMY15 can really be switched on and off (Xvfb has
# one output that never changes). The server's display is handed over as
# MENDO_XORG_DUMMY_DISPLAY; DISPLAY stays as it was. Xorg needs root and the
# xserver-xorg-video-dummy package: when it cannot start, the command still
# runs, with MENDO_XORG_DUMMY_MISSING saying why, so tests can skip with that
# reason. The server is stopped when the command ends; its exit code is kept.
set -euo pipefail


reason=""
if [ "$(id -u)" -ne 0 ]; then
  reason="Xorg with the dummy driver needs root"
elif ! command -v Xorg >/dev/null 2>&1; then
  reason="Xorg is not installed (xserver-xorg-core)"
elif ! ls /usr/lib/xorg/modules/drivers/dummy_drv.so >/dev/null 2>&1; then
  reason="the dummy video driver is not installed (xserver-xorg-video-dummy)"
elif ! command -v xrandr >/dev/null 2>&1; then
  reason="xrandr is not installed (x11-xserver-utils)"
fi
if [ -n "$reason" ]; then
  export MENDO_XORG_DUMMY_MISSING="$reason"
  exec "$@"
fi

workdir="$(mktemp -d)"
mkdir "$workdir/conf.d"
cat > "$workdir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 8192 4096
  EndSubSection
EndSection
CONF

xorg_pid=""
cleanup() {
  if [ -n "$xorg_pid" ]; then
    kill "$xorg_pid" 2>/dev/null || true
    wait "$xorg_pid" 2>/dev/null || true
  fi
  rm -rf "$workdir"
}
trap cleanup EXIT

# Far below the numbers xvfb-run picks (99 and up). A lock file taken by
# another server between the check and the start makes Xorg exit: the next
# number is tried.
started=""
for number in $(seq 40 79); do
  [ -e "/tmp/.X${number}-lock" ] && continue
  Xorg ":$number" -config "$workdir/xorg.conf" -configdir "$workdir/conf.d" -noreset -nolisten tcp \
    -logfile "$workdir/xorg.$number.log" -novtswitch -sharevts >/dev/null 2>&1 &
  xorg_pid=$!
  for _ in $(seq 100); do
    if ! kill -0 "$xorg_pid" 2>/dev/null; then
      break
    fi
    if xrandr -d ":$number" >/dev/null 2>&1; then
      started=":$number"
      break
    fi
    sleep 0.1
  done
  [ -n "$started" ] && break
  kill "$xorg_pid" 2>/dev/null || true
  wait "$xorg_pid" 2>/dev/null || true
  xorg_pid=""
done

set +e
if [ -n "$started" ]; then
  MENDO_XORG_DUMMY_DISPLAY="$started" "$@"
else
  MENDO_XORG_DUMMY_MISSING="Xorg with the dummy driver did not start" "$@"
fi
status=$?
set -e
exit $status
