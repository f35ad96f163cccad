#!/usr/bin/env bash
# A script client against a registered out-of-process server, as a ctest entry:
#   run_script_test.sh <wine loader> <server.exe> <CLSID> <ProgID> <script> <events> <clients> <work folder>
# The server is copied into a folder whose name holds a space (its LocalServer32 command must be
# quoted), registered, checked in the registry, used by <clients> script processes at once, and
# unregistered again. Each client prints "connected" once it has called the server and
# "events <n> out-of-order <k>" as its last line; Wine's cscript reports a script error neither on
# its output nor in its exit code, so the scripts print their own errors, and a missing or different
# last line is the failure.
set -euo pipefail
loader=$1 server=$2 clsid=$3 progid=$4 script=$5 events=$6 clients=$7 work=$8

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
reg_has() { "$loader" reg query "$1" </dev/null >/dev/null 2>&1; }

folder="$work/Com Test Server"
rm -rf "$work"
mkdir -p "$folder"
copy="$folder/$(basename "$server")"
cp "$server" "$copy"
copy_win=$("$loader" winepath -w "$copy" 2>/dev/null)
script_win=$("$loader" winepath -w "$script" 2>/dev/null)
# The server's Windows command line names the copy: the pattern finds this test's server only.
pattern=$(printf '%s' "$copy_win" | sed 's/[][\\.*^$+?(){}|]/\\&/g')
# A server left running would keep its class registered with the prefix's COM service, and later
# runs could not start a new one: end it by its process id.
end_server() {
  local pid
  for pid in $(pgrep -f "$pattern" || true); do kill "$pid" 2>/dev/null || true; done
}
trap end_server EXIT

classes='HKLM\Software\Classes'
class_key="$classes\\CLSID\\$clsid"
# A run that failed half-way may have left the server registered.
"$loader" "$copy" -UnregServer </dev/null >/dev/null 2>&1 || true
reg_has "$class_key" && fail "$clsid is registered before -RegServer"
reg_has "$classes\\$progid" && fail "$progid is registered before -RegServer"

"$loader" "$copy" -RegServer </dev/null >/dev/null 2>&1 || fail "-RegServer exited with $?"
reg_has "$class_key" || fail "-RegServer wrote no $class_key"
reg_has "$classes\\$progid\\CLSID" || fail "-RegServer wrote no ProgID $progid"
command=$("$loader" reg query "$class_key\\LocalServer32" /ve </dev/null 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_SZ[[:space:]]*//p')
[[ "$command" == "\"$copy_win\"" ]] || fail "LocalServer32 is [$command], expected [\"$copy_win\"]"
typelib=$("$loader" reg query "$class_key\\TypeLib" /ve </dev/null 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_SZ[[:space:]]*//p')
[[ -n "$typelib" ]] && reg_has "$classes\\TypeLib\\$typelib" || fail "the type library is not registered"
appid=$("$loader" reg query "$class_key" /v AppID </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
[[ -n "$appid" ]] && reg_has "$classes\\AppID\\$appid" || fail "the AppID is not registered"

pids=()
start_client() {
  "$loader" cscript //nologo "$script_win" "$events" "$clients" </dev/null >"$work/client$1.log" 2>&1 &
  pids+=($!)
}
# The others start once the first is connected: clients starting together can each have Wine start
# a server of their own, and the one left unused would outlive them by its start-up grace.
start_client 1
for ((tenth = 0; tenth < 1200; tenth++)); do
  grep -q '^connected' "$work/client1.log" 2>/dev/null && break
  kill -0 "${pids[0]}" 2>/dev/null || break
  sleep 0.1
done
for ((client = 2; client <= clients; client++)); do start_client "$client"; done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=$?; done
for ((client = 1; client <= clients; client++)); do
  echo "client $client:"
  tr -d '\r' <"$work/client$client.log" | grep -v '^[0-9a-f]*:fixme:' || true
  last=$(tr -d '\r' <"$work/client$client.log" | grep -v ':fixme:' | tail -n 1)
  [[ "$last" == "events $events out-of-order 0" ]] || fail "client $client ended with [$last]"
done
((status == 0)) || fail "a client exited with $status"

# The server ends once its last client has let go: the clients are gone, so that was before now.
# Its exit (revoking its classes, leaving COM) can take seconds on a loaded machine.
gone=0
for ((tenth = 0; tenth < 150; tenth++)); do
  if ! pgrep -f "$pattern" >/dev/null; then
    gone=1
    break
  fi
  sleep 0.1
done
((gone)) || fail "the server still runs 15 s after its last client ended"

"$loader" "$copy" -UnregServer </dev/null >/dev/null 2>&1 || fail "-UnregServer exited with $?"
for key in "$class_key" "$classes\\$progid" "$classes\\TypeLib\\$typelib" "$classes\\AppID\\$appid"; do
  reg_has "$key" && fail "-UnregServer left $key"
done
reg_has "$classes\\CLSID" || fail "-UnregServer removed the CLSID root"
echo "registered, $clients clients received $events events each, the server ended, unregistered"
