// One client of the test server: calls a method, hands the server its own function as the
// listener and counts the events of one run, which must arrive once each and in order.
//   cscript events_from_worker.js <events> <clients>
// The last line printed is "events <received> out-of-order <count>"; the runner compares it.
var expected = parseInt(WScript.Arguments.Item(0), 10);
var clients = parseInt(WScript.Arguments.Item(1), 10);

var server = new ActiveXObject("Quillbay.ComTestServer");
if (server.Echo("ping|1") !== "ping|1") throw new Error("Echo returned a different text");

var received = 0;
var outOfOrder = 0;
server.listener = function (index) {
    if (index !== received) outOfOrder++;
    received++;
};
server.Start(expected, clients);
// WScript.Sleep does nothing under Wine: the listener calls come in while this thread waits inside
// a call to the server.
var waits = 0;
while (!server.Wait(250)) {
    if (++waits > 240) throw new Error("the run did not end within a minute");
}
// Released while the script still runs: at the script host's shut-down the server's release of the
// listener could not reach this process any more.
server = null;
WScript.Echo("events " + received + " out-of-order " + outOfOrder);
