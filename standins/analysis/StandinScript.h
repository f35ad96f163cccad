#pragma once
// What a test asks of the simulated analysis engine, read from QB_ANALYSIS_STANDIN when an engine
// is created: "key=value" pairs separated by ';'.
//   end=N         status of the end event (default 0)
//   events=sync   fire events inside PushBuffer instead of from the engine's own thread
//   abortAfter=N  the Nth buffer's event aborts the analysis
//   stallMs=N     wait before each buffer event
//   fail=NAME     that call fails: create, initialize, format, push, result
//   empty=1       every probed result item holds 255 (nothing measured)
//   check=N       CheckData's verdict (default: 1 for a payload with an STBF record)
//   race=1        at the end, an aborting buffer event races the end event from a second thread
//   mood=1        the payload also carries mood scores (STMO, STHF), as a full engine's does

#include <string>

struct CStandinScript {
    long endStatus = 0;
    bool syncEvents = false;
    long abortAfter = 0;
    long stallMs = 0;
    std::wstring fail;
    bool emptyResult = false;
    long checkVerdict = -1;
    bool race = false;
    bool moodScores = false;

    static CStandinScript FromEnvironment();
};
