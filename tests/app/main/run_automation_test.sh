#!/usr/bin/env bash
# Quillbay's automation server as a ctest entry:
#   run_automation_test.sh <wine loader> <server.exe> <language module> <work folder> [<script> <events> <clients>]
# The server is copied, with its language module in Resources\, into a folder whose name holds a
# space, registered with -RegServer and checked in the registry (three ProgIDs, the classes with a
# quoted LocalServer32, AppID and type library 1.2\409). With a script, <clients> copies of it run
# at once under cscript; each must print "events <events> out-of-order 0" last, and the server must
# end after its last client. -UnregServer must then remove every entry.
set -euo pipefail
loader=$1 server=$2 language_module=$3 work=$4
script=${5:-} events=${6:-0} clients=${7:-0}

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
reg_has() { "$loader" reg query "$1" </dev/null >/dev/null 2>&1; }
reg_default() {
  "$loader" reg query "$1" /ve </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'
}
reg_value() {
  "$loader" reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'
}

folder="$work/Quillbay Test"
rm -rf "$work"
mkdir -p "$folder/Resources"
copy="$folder/$(basename "$server")"
cp "$server" "$copy"
cp "$language_module" "$folder/Resources/"
copy_win=$("$loader" winepath -w "$copy" 2>/dev/null)
pattern=$(printf '%s' "$copy_win" | sed 's/[][\\.*^$+?(){}|]/\\&/g')
# A server left running keeps its classes registered with the prefix's COM service: end it by id.
end_server() {
  local pid
  for pid in $(pgrep -f "$pattern" || true); do kill "$pid" 2>/dev/null || true; done
}
unregister() { "$loader" "$copy" -UnregServer </dev/null >/dev/null 2>&1 || true; }
trap 'end_server; unregister' EXIT

classes='HKLM\Software\Classes'
libid='{508D28CE-F752-460B-AC5F-3364D2AA7F43}'
appid='{9A866688-D570-4996-A6E5-70237836A625}'
class_ids=('{7F5C43C8-334E-4EE5-ACD0-3478A86914EB}' '{78C71A4C-F987-4570-836A-D77CB3E1D765}'
  '{A2F447B6-65EE-4339-B9EA-D68FF0257F69}')
prog_ids=(TavrelQuillbay.TavrelQuillbay TavrelQuillbay.TavrelQuillbay2 TavrelQuillbay.TavrelQuillbayApp)
keys=("$classes\\TypeLib\\$libid" "$classes\\AppID\\$appid")
for index in 0 1 2; do
  keys+=("$classes\\CLSID\\${class_ids[index]}" "$classes\\${prog_ids[index]}" "$classes\\${prog_ids[index]}.1")
done

unregister
for key in "${keys[@]}"; do reg_has "$key" && fail "$key is registered before -RegServer"; done

"$loader" "$copy" -RegServer </dev/null >/dev/null 2>&1 || fail "-RegServer exited with $?"
for index in 0 1 2; do
  clsid=${class_ids[index]} progid=${prog_ids[index]}
  [[ "$(reg_default "$classes\\$progid.1\\CLSID")" == "$clsid" ]] || fail "ProgID $progid.1 does not name $clsid"
  [[ "$(reg_default "$classes\\$progid\\CurVer")" == "$progid.1" ]] || fail "$progid has no CurVer $progid.1"
  command=$(reg_default "$classes\\CLSID\\$clsid\\LocalServer32")
  [[ "$command" == "\"$copy_win\"" ]] || fail "LocalServer32 of $clsid is [$command], expected [\"$copy_win\"]"
  [[ "$(reg_value "$classes\\CLSID\\$clsid" AppID)" == "$appid" ]] || fail "$clsid names no AppID $appid"
  [[ "$(reg_default "$classes\\CLSID\\$clsid\\TypeLib")" == "$libid" ]] || fail "$clsid names no type library"
done
reg_has "$classes\\TypeLib\\$libid\\1.2\\409" || fail "the type library 1.2\\409 is not registered"
[[ "$(reg_default "$classes\\AppID\\$appid")" == "Quillbay" ]] || fail "the AppID is not named Quillbay"
[[ "$(reg_value "$classes\\AppID\\$(basename "$server")" AppID)" == "$appid" ]] ||
  fail "the program's name does not map to the AppID"
pgrep -f "$pattern" >/dev/null && fail "-RegServer left the program running"

if [[ -n "$script" ]]; then
  script_win=$("$loader" winepath -w "$script" 2>/dev/null)
  pids=()
  start_client() {
    "$loader" cscript //nologo "$script_win" "$events" "$clients" </dev/null >"$work/client$1.log" 2>&1 &
    pids+=($!)
  }
  # The others start once the first is connected: clients starting together can each have Wine
  # start a server, and a client whose server ends at the single-instance test fails.
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
    tr -d '\r' <"$work/client$client.log" | grep -v ':fixme:' || true
    last=$(tr -d '\r' <"$work/client$client.log" | grep -v ':fixme:' | tail -n 1)
    [[ "$last" == "events $events out-of-order 0" ]] || fail "client $client ended with [$last]"
  done
  ((status == 0)) || fail "a client exited with $status"
  # The server ends once its last client has let go; under load that can take a while.
  gone=0
  for ((tenth = 0; tenth < 600; tenth++)); do
    if ! pgrep -f "$pattern" >/dev/null; then
      gone=1
      break
    fi
    sleep 0.1
  done
  ((gone)) || fail "the server still runs 60 s after its last client ended"
fi

"$loader" "$copy" -UnregServer </dev/null >/dev/null 2>&1 || fail "-UnregServer exited with $?"
for key in "${keys[@]}"; do reg_has "$key" && fail "-UnregServer left $key"; done
reg_has "$classes\\CLSID" || fail "-UnregServer removed the CLSID root"
reg_has "$classes\\AppID" || fail "-UnregServer removed the AppID root"
echo "registered and checked, ${clients} clients received ${events} events each, unregistered"
