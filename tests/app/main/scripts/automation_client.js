// One script client of Quillbay's automation server (the test server's scripted coordinator
// answers): every method, every listener, and a run of events that must arrive once each and in
// order, while the listener itself calls the server back.
//   cscript automation_client.js <events> <clients>
// The first line printed is "connected" once the object exists; the last is
// "events <received> out-of-order <count>", or "FAILED: <reason>".
var expected = parseInt(WScript.Arguments.Item(0), 10);
var clients = parseInt(WScript.Arguments.Item(1), 10);
var app = null;

function check(condition, what) {
    if (!condition) throw new Error(what);
}

// WScript.Sleep does nothing under Wine: listener calls come in while this thread waits inside a
// call to the server, so the wait is a loop of cheap calls, with a deadline.
function waitFor(condition, what) {
    var deadline = new Date().getTime() + 240000;
    while (!condition()) {
        if (new Date().getTime() > deadline) throw new Error("timed out waiting for " + what);
        app.GetVersion();
    }
}

function contains(list, value) {
    for (var index = 0; index < list.length; index++) {
        if (list[index] === value) return true;
    }
    return false;
}

try {
    app = new ActiveXObject("TavrelQuillbay.TavrelQuillbayApp");
    // The runner starts the other clients once this line is out.
    WScript.Echo("connected");
    var progress = 0, invokes = 0, outOfOrder = 0, callbacks = 0, started = 0, ended = 0, errors = 0;
    var syncFolders = [], spaces = [], dialogs = [], fileNums = [];
    var ownSetting = "folders=" + Math.random();

    app.listenerInvoke = function (text) {
        var fields = String(text).split("|");
        if (fields.length !== 12 || parseInt(fields[0], 10) !== invokes) outOfOrder++;
        if (fields[8] !== (invokes % 2 ? "1" : "0") || fields[11] !== "1") outOfOrder++;
        invokes++;
    };
    app.listenerProgress = function (text) {
        var fields = String(text).split("|");
        if (fields[0] !== "3" || parseInt(fields[2], 10) !== progress || parseInt(fields[3], 10) !== expected) {
            outOfOrder++;
        }
        progress++;
        // Calls back into the server from inside the event: the server must not hold what these need.
        if (progress % 100 === 0) {
            if (app.CancelTransfer() !== 7 || app.GetResource(139) !== "Quillbay") outOfOrder++;
            callbacks++;
        }
    };
    app.listenerStart = function () { started++; };
    app.listenerEnd = function () { ended++; };
    app.listenerTransferError = function () { errors++; };
    app.listenerUpdateFileNum = function (text) { fileNums.push(String(text)); };
    app.listenerUpdateSyncFolder = function (text) { syncFolders.push(String(text)); };
    app.listenerUpdateFreeSpace = function (text) { spaces.push(String(text)); };
    app.listenerDeleteDialog = function (state) { dialogs.push("delete" + state); };
    app.listenerSyncDialog = function (state) { dialogs.push("sync" + state); };
    app.listenerSettingDialog = function (state) { dialogs.push("setting" + state); };

    check(app.GetVersion() === "1.2.0.0", "GetVersion gave " + app.GetVersion());
    check(app.GetResource(139) === "Quillbay", "GetResource(139) gave " + app.GetResource(139));
    check(app.GetResource(65000) === "", "a missing string is not empty");
    check(app.GetHelpFile() === "C:\\Program Files\\Tavrel\\Quillbay\\Quillbay.chm", "GetHelpFile gave " + app.GetHelpFile());
    check(app.Transfer("E:\\Music", 0, 3) === 1003, "Transfer kind 0 is not read as 1");
    check(app.Transfer("E:\\Music", 15, 3) === 1003, "Transfer kind 15 is not read as 1");
    check(app.Transfer("E:\\Music", 2, 9) === 2009, "Transfer kind 2 changed");
    check(app.Transfer("E:\\Music", 14, 9) === 14009, "Transfer kind 14 changed");

    check(app.Invoke() === 1, "Invoke did not give the coordinator's answer");
    app.UpdateSetting(ownSetting);
    waitFor(function () { return contains(syncFolders, ownSetting); }, "the setting echoed as a sync folder");
    app.FireSpace();
    waitFor(function () { return contains(spaces, "1|-2|0|3|4|5|6"); }, "the free-space event");
    app.OpenDeleteDialog(1);
    app.OpenSyncDialog(1);
    app.OpenSettingDialog();
    waitFor(function () {
        return contains(dialogs, "delete0") && contains(dialogs, "delete1") && contains(dialogs, "sync0") &&
               contains(dialogs, "sync1") && contains(dialogs, "setting0") && contains(dialogs, "setting1");
    }, "the dialog events");
    app.StartSync();
    waitFor(function () { return started > 0 && ended > 0 && contains(fileNums, "1|2"); }, "start, file count and end");
    app.OpenLogFile();
    waitFor(function () { return errors > 0; }, "the transfer-error event");

    check(app.Transfer("run|" + expected + "|" + clients, 1, 0) === 1, "the run was not accepted");
    waitFor(function () { return progress >= expected && invokes >= expected; }, "the run's events");
    check(callbacks === Math.floor(expected / 100), "calls from inside the listener: " + callbacks);

    // Let go of the listeners while this client still waits in calls to the server.
    app.listenerProgress = null;
    app.listenerInvoke = null;
    app.GetVersion();
    app = null;
    CollectGarbage();
    WScript.Echo("events " + progress + " out-of-order " + outOfOrder);
} catch (error) {
    WScript.Echo("FAILED: " + error.message + " (0x" + (error.number >>> 0).toString(16) + ")");
}
