// A script client of Quillbay.exe itself: its automation calls reach the program's real
// coordinator, which describes the (absent) player, starts the transfer of a sample song and
// cancels it.
//   cscript coordinator_client.js <runs> <clients>
// The first line printed is "connected" once the object exists; the last is
// "events <runs ended> out-of-order <count>", or "FAILED: <reason>".
var runs = parseInt(WScript.Arguments.Item(0), 10);
var app = null;

function check(condition, what) {
    if (!condition) throw new Error(what);
}

// WScript.Sleep does nothing under Wine: events come in while this thread waits inside a call to
// the server, so the wait is a loop of cheap calls, with a deadline.
function waitFor(condition, what) {
    var deadline = new Date().getTime() + 240000;
    while (!condition()) {
        if (new Date().getTime() > deadline) throw new Error("timed out waiting for " + what);
        app.GetVersion();
    }
}

try {
    var song = WScript.ScriptFullName.replace(/scripts\\[^\\]*$/, "") + "..\\..\\data\\mediaprobe\\plain.mp3";
    check(new ActiveXObject("Scripting.FileSystemObject").FileExists(song), "no sample song at " + song);
    app = new ActiveXObject("TavrelQuillbay.TavrelQuillbayApp");
    WScript.Echo("connected");
    var devices = [], started = 0, ended = 0, errors = 0;
    app.listenerInvoke = function (text) { devices.push(String(text)); };
    app.listenerStart = function () { started++; };
    app.listenerEnd = function () { ended++; };
    app.listenerTransferError = function () { errors++; };

    // Only the coordinator counts the calls: 1 for the first of a program started by automation.
    check(app.Invoke() === 1, "the first Invoke gave " + app.Invoke());
    check(app.Invoke() === 2, "a later Invoke did not give 2");
    check(/\\Quillbay Help\.chm$/.test(app.GetHelpFile()), "GetHelpFile gave " + app.GetHelpFile());
    // The first Invoke describes the player: none is attached here.
    waitFor(function () { return devices.length > 0; }, "the device description");
    check(devices[0].split("|").length > 1 && devices[0].split("|")[0] === "0",
          "the device description is " + devices[0]);

    // With no player the song waits for one: the run is started, then cancelled.
    for (var run = 0; run < runs; run++) {
        check(app.Transfer(song, 1, song.lastIndexOf("\\") + 1) === 0, "Transfer was refused");
        waitFor(function () { return started > run; }, "the start of run " + (run + 1));
        check(app.CancelTransfer() === 0, "CancelTransfer was refused");
        waitFor(function () { return ended > run; }, "the end of run " + (run + 1));
    }
    check(started === runs, "runs started: " + started);
    WScript.Echo("device: " + devices[0] + "; errors: " + errors);
    app = null;
    CollectGarbage();
    WScript.Echo("events " + ended + " out-of-order 0");
} catch (error) {
    WScript.Echo("FAILED: " + error.message + " (0x" + (error.number >>> 0).toString(16) + ")");
}
