#pragma once
// The program's version, in its version resource and its About box.

#define QB_VERSION_NUMBERS 1, 2, 0, 0
#define QB_VERSION_TEXT "1.2.0.0"
