#!/usr/bin/env bash
# Quillbay's automation server as a ctest entry:
#   run_automation_test.sh <wine loader> <server.exe> <language module> <work folder> [<events> <script>...]
# The server is copied, with its language module in Resources\, into a folder whose name holds a
# space, registered with -RegServer and checked in the registry (three ProgIDs, the classes with a
# quoted LocalServer32, AppID and type library 1.2\409). With scripts, one client per script runs
# at once on one server under cscript; each must print "events <events> out-of-order 0" last, and
# the server must end after its last client. -UnregServer must then remove every entry.
set -euo pipefail
loader=$1 server=$2 language_module=$3 work=$4
events=${5:-0}
scripts=("${@:6}")
source "$(dirname "${BASH_SOURCE[0]}")/../../../cmake/script_client_support.sh"

rm -rf "$work"
folder="$work/Quillbay Test"
mkdir -p "$folder/Resources"
cp "$language_module" "$folder/Resources/"
copy_server "$server" "$folder"

libid='{508D28CE-F752-460B-AC5F-3364D2AA7F43}'
appid='{9A866688-D570-4996-A6E5-70237836A625}'
class_ids=('{7F5C43C8-334E-4EE5-ACD0-3478A86914EB}' '{78C71A4C-F987-4570-836A-D77CB3E1D765}'
  '{A2F447B6-65EE-4339-B9EA-D68FF0257F69}')
prog_ids=(TavrelQuillbay.TavrelQuillbay TavrelQuillbay.TavrelQuillbay2 TavrelQuillbay.TavrelQuillbayApp)
keys=("$classes\\TypeLib\\$libid" "$classes\\AppID\\$appid")
for index in 0 1 2; do
  keys+=("$classes\\CLSID\\${class_ids[index]}" "$classes\\${prog_ids[index]}" "$classes\\${prog_ids[index]}.1")
done
for key in "${keys[@]}"; do reg_has "$key" && fail "$key is registered before -RegServer"; done

register_server
for index in 0 1 2; do
  clsid=${class_ids[index]} progid=${prog_ids[index]}
  check_registered_class "$clsid" "$progid"
  [[ "$(reg_default "$classes\\$progid.1\\CLSID")" == "$clsid" ]] || fail "ProgID $progid.1 does not name $clsid"
  [[ "$(reg_default "$classes\\$progid\\CurVer")" == "$progid.1" ]] || fail "$progid has no CurVer $progid.1"
  [[ "$(reg_value "$classes\\CLSID\\$clsid" AppID)" == "$appid" ]] || fail "$clsid names no AppID $appid"
  [[ "$(reg_default "$classes\\CLSID\\$clsid\\TypeLib")" == "$libid" ]] || fail "$clsid names no type library"
done
reg_has "$classes\\TypeLib\\$libid\\1.2\\409" || fail "the type library 1.2\\409 is not registered"
[[ "$(reg_default "$classes\\AppID\\$appid")" == "Quillbay" ]] || fail "the AppID is not named Quillbay"
[[ "$(reg_value "$classes\\AppID\\$(basename "$server")" AppID)" == "$appid" ]] ||
  fail "the program's name does not map to the AppID"
pgrep -f "$server_pattern" >/dev/null && fail "-RegServer left the program running"

if ((${#scripts[@]} > 0)); then
  run_script_clients "$work" "$events" "${scripts[@]}"
  # Under load the server's exit can take a while.
  wait_server_gone 60
fi

"$loader" "$server_copy" -UnregServer </dev/null >/dev/null 2>&1 || fail "-UnregServer exited with $?"
for key in "${keys[@]}"; do reg_has "$key" && fail "-UnregServer left $key"; done
reg_has "$classes\\CLSID" || fail "-UnregServer removed the CLSID root"
reg_has "$classes\\AppID" || fail "-UnregServer removed the AppID root"
echo "registered and checked, ${#scripts[@]} clients received ${events} events each, unregistered"
