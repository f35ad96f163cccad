// Quillbay's one application object; the framework's entry point runs it.

#include "app/main/CQBApp.h"

CQBApp theApp;
