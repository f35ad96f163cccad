#pragma once
// Joining a new analysis result with the payload a record already carries, through the engine,
// and cleaning the engine's private records from a payload.

#include "library/content/TNByteArray.h"

// *merged gets a new array: the engine's merge of both, without its "GMMD" records (kept as the
// engine returned them when they do not parse). E_INVALIDARG for missing arguments, E_FAIL when
// the engine returns no array, the engine's failure otherwise.
HRESULT MergeAnalysisData(const CTNByteArray* recordBlob, const CTNByteArray* result, CTNByteArray** merged);
// *clean gets a new array holding the payload without its "GMMD" records; a payload that does
// not parse, or that holds nothing else, is copied as it is.
HRESULT CleanAnalysisPayload(const CTNByteArray* payload, CTNByteArray** clean);
