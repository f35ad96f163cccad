// One measured script client: "quillbay" times the automation server's cold start to its first event
// and the round trip of one call; "baseline" times one call to a built-in automation object.
//   cscript automation_bench.js quillbay|baseline <calls>
var mode = WScript.Arguments.Item(0);
var calls = parseInt(WScript.Arguments.Item(1), 10);
function now() { return new Date().getTime(); }
try {
    if (mode === "baseline") {
        var dictionary = new ActiveXObject("Scripting.Dictionary");
        dictionary.Add("key", 1);
        var start = now();
        for (var index = 0; index < calls; index++) dictionary.Exists("key");
        WScript.Echo("baseline Scripting.Dictionary call: " + ((now() - start) / calls).toFixed(3) + " ms");
    } else {
        var coldStart = now();
        var app = new ActiveXObject("TavrelQuillbay.TavrelQuillbayApp");
        var heard = false;
        app.listenerUpdateSyncFolder = function () { heard = true; };
        app.Invoke();
        // The scripted coordinator answers a setting with an event.
        app.UpdateSetting("bench");
        var deadline = now() + 120000;
        while (!heard && now() < deadline) app.GetVersion();
        if (!heard) throw new Error("no event within two minutes");
        WScript.Echo("cold start to first event: " + (now() - coldStart) + " ms");
        var start = now();
        for (var index = 0; index < calls; index++) app.GetVersion();
        WScript.Echo("Quillbay automation call: " + ((now() - start) / calls).toFixed(3) + " ms");
        app.listenerUpdateSyncFolder = null;
        app = null;
        CollectGarbage();
    }
} catch (error) {
    WScript.Echo("FAILED: " + error.message);
}
