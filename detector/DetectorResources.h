#pragma once
// Resource identifiers of QuillbayDetector.

#define IDS_OLE_INIT_FAILED 100
