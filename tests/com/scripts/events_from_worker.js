// One client of the test server: calls a method, hands the server its own function as the
// listener and counts the events of one run, which must arrive once each and in order.
//   cscript events_from_worker.js <events> <clients>
// The last line printed is "events <received> out-of-order <count>"; the runner compares it.
// Wine's cscript reports a script error nowhere, so an error is caught and printed here.
var expected = parseInt(WScript.Arguments.Item(0), 10);
var clients = parseInt(WScript.Arguments.Item(1), 10);
var step = "creating the server object";
try {
    var server = new ActiveXObject("Quillbay.ComTestServer");
    step = "calling Echo";
    if (server.Echo("ping|1") !== "ping|1") throw new Error("Echo returned a different text");
    WScript.Echo("connected");

    var received = 0;
    var outOfOrder = 0;
    step = "setting the listener";
    server.listener = function (index) {
        if (index !== received) outOfOrder++;
        received++;
    };
    step = "starting the run";
    server.Start(expected, clients);
    // WScript.Sleep does nothing under Wine: the listener calls come in while this thread waits
    // inside a call to the server. The other client may join late on a loaded machine.
    step = "waiting for the run";
    var waits = 0;
    while (!server.Wait(250)) {
        if (++waits > 480) throw new Error("the run did not end within two minutes");
    }
    // Released while the script still runs: at the script host's shut-down the server's release of
    // the listener could not reach this process any more.
    server = null;
    WScript.Echo("events " + received + " out-of-order " + outOfOrder);
} catch (error) {
    var code = error.number === undefined ? "" : " 0x" + (error.number >>> 0).toString(16);
    WScript.Echo("failed " + step + ":" + code + " " + error.message);
}
