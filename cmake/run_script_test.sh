#!/usr/bin/env bash
# A script client against a registered out-of-process server, as a ctest entry:
#   run_script_test.sh <wine loader> <server.exe> <CLSID> <ProgID> <script> <events> <clients> <work folder>
# The server is copied into a folder whose name holds a space, registered, checked in the registry,
# used by <clients> copies of the script at once, and unregistered again.
set -euo pipefail
loader=$1 server=$2 clsid=$3 progid=$4 script=$5 events=$6 clients=$7 work=$8
source "$(dirname "${BASH_SOURCE[0]}")/script_client_support.sh"

rm -rf "$work"
copy_server "$server" "$work/Com Test Server"
class_key="$classes\\CLSID\\$clsid"
reg_has "$class_key" && fail "$clsid is registered before -RegServer"
reg_has "$classes\\$progid" && fail "$progid is registered before -RegServer"

register_server
check_registered_class "$clsid" "$progid"
typelib=$(reg_default "$class_key\\TypeLib")
appid=$(reg_value "$class_key" AppID)

scripts=()
for ((client = 1; client <= clients; client++)); do scripts+=("$script"); done
run_script_clients "$work" "$events" "${scripts[@]}"
wait_server_gone 15

"$loader" "$server_copy" -UnregServer </dev/null >/dev/null 2>&1 || fail "-UnregServer exited with $?"
for key in "$class_key" "$classes\\$progid" "$classes\\TypeLib\\$typelib" "$classes\\AppID\\$appid"; do
  reg_has "$key" && fail "-UnregServer left $key"
done
reg_has "$classes\\CLSID" || fail "-UnregServer removed the CLSID root"
echo "registered, $clients clients received $events events each, the server ended, unregistered"
