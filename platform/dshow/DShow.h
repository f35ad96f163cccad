#pragma once
// The platform's DirectShow declarations that every part of this layer uses.

#include <windows.h>
#include <control.h>
#include <evcode.h>
#include <strmif.h>
#include <cguid.h>
#include <uuids.h>
#include <vfwmsgs.h>
