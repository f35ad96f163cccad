# Shared by the runners of script-client tests (sourced): an out-of-process COM server copied into
# a folder whose name holds a space, registered and unregistered, and script clients under Wine's
# cscript against it. The caller sets $loader (the Wine loader) before sourcing.
#
# Each client script takes "<events> <clients>", prints "connected" once it has called the server
# and "events <n> out-of-order <k>" as its last line; Wine's cscript reports a script error neither
# on its output nor in its exit code, so the scripts print their own errors, and a missing or
# different last line is the failure.

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
reg_has() { "$loader" reg query "$1" </dev/null >/dev/null 2>&1; }
# A value the check expects was once read as missing right after the server had written it, on a
# loaded machine: a value that reads as empty is read once more before the check trusts that.
reg_sz() {
  local value attempt
  for attempt in 1 2; do
    value=$("$loader" reg query "$@" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    [[ -n "$value" ]] && break
  done
  printf '%s\n' "$value"
}
reg_default() { reg_sz "$1" /ve; }
reg_value() { reg_sz "$1" /v "$2"; }

classes='HKLM\Software\Classes'

# copy_server <server.exe> <folder>: copies the server into the folder (made afresh) and sets
# server_copy, server_copy_win and server_pattern (which finds this copy's processes only, by its
# Windows command line). A server left running keeps its classes registered with the prefix's COM
# service and later runs could not start a new one, so on exit it is ended by process id and
# unregistered.
copy_server() {
  local folder=$2
  mkdir -p "$folder"
  server_copy="$folder/$(basename "$1")"
  cp "$1" "$server_copy"
  server_copy_win=$("$loader" winepath -w "$server_copy" 2>/dev/null)
  server_pattern=$(printf '%s' "$server_copy_win" | sed 's/[][\\.*^$+?(){}|]/\\&/g')
  trap 'end_server; unregister_server' EXIT
  # A run that failed half-way may have left the server registered.
  unregister_server
}
end_server() {
  local pid
  for pid in $(pgrep -f "$server_pattern" || true); do kill "$pid" 2>/dev/null || true; done
}
register_server() { "$loader" "$server_copy" -RegServer </dev/null >/dev/null 2>&1 || fail "-RegServer exited with $?"; }
unregister_server() { "$loader" "$server_copy" -UnregServer </dev/null >/dev/null 2>&1 || true; }

# check_registered_class <CLSID> <ProgID>: the class names the copy in a quoted LocalServer32 (its
# path holds a space), a registered type library and a registered AppID; the ProgID names the class.
check_registered_class() {
  local class_key="$classes\\CLSID\\$1" progid=$2 command typelib appid
  reg_has "$class_key" || fail "-RegServer wrote no $class_key"
  reg_has "$classes\\$progid\\CLSID" || fail "-RegServer wrote no ProgID $progid"
  command=$(reg_default "$class_key\\LocalServer32")
  [[ "$command" == "\"$server_copy_win\"" ]] || fail "LocalServer32 of $1 is [$command], expected [\"$server_copy_win\"]"
  typelib=$(reg_default "$class_key\\TypeLib")
  [[ -n "$typelib" ]] && reg_has "$classes\\TypeLib\\$typelib" || fail "the type library of $1 is not registered"
  appid=$(reg_value "$class_key" AppID)
  [[ -n "$appid" ]] && reg_has "$classes\\AppID\\$appid" || fail "the AppID of $1 is not registered"
}

# run_script_clients <work folder> <events> <script>...: one client per script, all on one server
# at once; each must end with "events <events> out-of-order 0".
run_script_clients() {
  local work=$1 events=$2
  shift 2
  local scripts=("$@") clients=$# pids=() client status=0 last tenth pid
  start_client() {
    local script_win
    script_win=$("$loader" winepath -w "${scripts[$1 - 1]}" 2>/dev/null)
    "$loader" cscript //nologo "$script_win" "$events" "$clients" </dev/null >"$work/client$1.log" 2>&1 &
    pids+=($!)
  }
  # The others start once the first is connected: clients starting together can each have Wine
  # start a server of their own, and the one left unused ends at the single-instance test or
  # outlives them by its start-up grace.
  start_client 1
  for ((tenth = 0; tenth < 1200; tenth++)); do
    grep -q '^connected' "$work/client1.log" 2>/dev/null && break
    kill -0 "${pids[0]}" 2>/dev/null || break
    sleep 0.1
  done
  for ((client = 2; client <= clients; client++)); do start_client "$client"; done
  for ((client = 1; client <= clients; client++)); do
    wait_client "${pids[client - 1]}" "$work/client$client.log" "$client" || status=$?
  done
  for ((client = 1; client <= clients; client++)); do
    echo "client $client ($(basename "${scripts[client - 1]}")):"
    tr -d '\r' <"$work/client$client.log" | grep -v ':fixme:' || true
    last=$(tr -d '\r' <"$work/client$client.log" | grep -v ':fixme:' | tail -n 1)
    [[ "$last" == "events $events out-of-order 0" ]] || fail "client $client ended with [$last]"
  done
  ((status == 0)) || fail "a client exited with $status"
}

# wait_client <pid> <log> <number>: waits for one client to exit. Wine's cscript, now and then,
# hangs in its own exit after its script has printed the last line and the server has ended;
# nothing of the server is left to wait for then, so after a minute of that the client is ended
# and its output alone decides. A finished client that outlives a running server still counts
# as a hang: the server may be holding it.
wait_client() {
  local pid=$1 log=$2 client=$3 lingering=0
  while kill -0 "$pid" 2>/dev/null; do
    if tr -d '\r' <"$log" 2>/dev/null | grep -v ':fixme:' | tail -n 1 | grep -q '^events ' &&
      ! pgrep -f "$server_pattern" >/dev/null; then
      if ((++lingering >= 120)); then
        echo "client $client printed its last line but did not exit after the server ended; ended"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        return 0
      fi
    else
      lingering=0
    fi
    sleep 0.5
  done
  wait "$pid"
}

# wait_server_gone <seconds>: the server ends once its last client has let go; the clients are
# gone, so that was before now, but its exit (revoking its classes, leaving COM) can take seconds
# on a loaded machine.
wait_server_gone() {
  local tenth
  for ((tenth = 0; tenth < $1 * 10; tenth++)); do
    pgrep -f "$server_pattern" >/dev/null || return 0
    sleep 0.1
  done
  fail "the server still runs $1 s after its last client ended"
}
