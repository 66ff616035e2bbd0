#!/bin/sh
# A private JACK server for the MIDI port tests: jack_server.sh start|stop
# NAME RUN_DIR [PERIOD]. It runs the dummy backend (no sound card) at 48 kHz
# with PERIOD frames a cycle (default 256: a cycle that a busy machine still
# keeps, since MIDI of a missed cycle is lost) under the server name NAME,
# which the tests reach through JACK_DEFAULT_SERVER=NAME; the user's own JACK
# server, if any, is never touched.
set -eu
action=$1
name=$2
run=$3
period=${4:-256}
export JACK_DEFAULT_SERVER="$name" JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1

stop_server() {
  if [ -f "$run/jackd.pid" ]; then
    pid=$(cat "$run/jackd.pid")
    kill "$pid" 2>/dev/null || true
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    kill -9 "$pid" 2>/dev/null || true
    rm -f "$run/jackd.pid"
  fi
}

# Starts jackd with the given scheduling option; true once clients can reach it.
try_start() {
  jackd "$1" -n "$name" -d dummy -r 48000 -p "$period" >"$run/jackd.log" 2>&1 &
  echo $! >"$run/jackd.pid"
  i=0
  until jack_lsp >/dev/null 2>&1; do
    i=$((i + 1))
    if [ $i -gt 50 ] || ! kill -0 "$(cat "$run/jackd.pid")" 2>/dev/null; then
      stop_server
      return 1
    fi
    sleep 0.1
  done
}

case "$action" in
  start)
    stop_server
    mkdir -p "$run"
    # Real-time scheduling where the system grants it, otherwise without.
    if ! try_start --realtime && ! try_start --no-realtime; then
      echo "the private JACK server did not start:" >&2
      cat "$run/jackd.log" >&2
      exit 1
    fi
    ;;
  stop)
    stop_server
    ;;
  *)
    echo "usage: jack_server.sh start|stop NAME RUN_DIR" >&2
    exit 2
    ;;
esac
