#!/bin/sh
# A private PulseAudio server for the sound tests: pulse_server.sh start|stop
# RUNTIME_DIR HOME_DIR. Its only sink is the null sink "vambrio_test" (the
# default), reached through RUNTIME_DIR/pulse/native; nothing of the real
# user's sound set-up is touched.
set -eu
action=$1
run=$2
home=$3
export XDG_RUNTIME_DIR="$run" HOME="$home"
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_STATE_PATH

stop_server() {
  if [ -f "$run/pulse/pid" ]; then
    pid=$(cat "$run/pulse/pid")
    kill "$pid" 2>/dev/null || true
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    kill -9 "$pid" 2>/dev/null || true
  fi
}

case "$action" in
  start)
    stop_server
    rm -rf "$run"
    mkdir -p "$run" "$home"
    chmod 700 "$run"
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes --realtime=no --high-priority=no \
      --log-target=file:"$run/pulseaudio.log" \
      --load="module-null-sink sink_name=vambrio_test" \
      --load="module-native-protocol-unix auth-anonymous=1" 2>>"$run/pulseaudio.log"
    i=0
    until pactl info >/dev/null 2>&1; do
      i=$((i + 1))
      if [ $i -gt 100 ]; then
        echo "the private PulseAudio server did not start:" >&2
        cat "$run/pulseaudio.log" >&2
        exit 1
      fi
      sleep 0.1
    done
    pactl set-default-sink vambrio_test
    pactl set-sink-volume vambrio_test 100%
    ;;
  stop)
    stop_server
    ;;
  *)
    echo "usage: pulse_server.sh start|stop RUNTIME_DIR HOME_DIR" >&2
    exit 2
    ;;
esac
