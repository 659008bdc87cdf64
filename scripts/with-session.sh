#!/usr/bin/env bash
# Runs a command inside a private desktop session: a D-Bus session bus, Xvfb on
# a free display, openbox without key bindings and with the one mouse binding
# desktops ship (Alt+drag moves a window), and AT-SPI enabled. Everything
# it starts is stopped when the command ends; the command's exit code is kept.
set -euo pipefail
if [ "${1:-}" != "--inner" ]; then
  # A runtime directory of its own: the accessibility bus puts its socket
  # there, so sessions that run side by side never share (or remove) it.
  runtime="$(mktemp -d)"
  chmod 700 "$runtime"
  set +e
  XDG_RUNTIME_DIR="$runtime" dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
    "$0" --inner "$@"
  status=$?
  rm -rf "$runtime"
  exit $status
fi
shift

workdir="$(mktemp -d)"
cat > "$workdir/rc.xml" <<'XML'
<openbox_config xmlns="http://openbox.org/3.4/rc"><focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus><desktops><number>1</number></desktops><keyboard></keyboard><mouse><context name="Frame"><mousebind button="A-Left" action="Drag"><action name="Move"/></mousebind></context></mouse></openbox_config>
XML

openbox --config-file "$workdir/rc.xml" >/dev/null 2>&1 &
openbox_pid=$!
cleanup() {
  kill "$openbox_pid" 2>/dev/null || true
  wait "$openbox_pid" 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# Applications register with AT-SPI only when it is on before they start.
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
  --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled "<true>" >/dev/null 2>&1 || true
export MENDO_TEST_SESSION=1
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
  sleep 0.1
done

set +e
"$@"
status=$?
set -e
exit $status
