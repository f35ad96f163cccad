// The update checker's one application object; the framework's entry point runs it.
#include "updater/ostrim/FennicMini_ApplicationApp.h"

CFennicMini_ApplicationApp theApp;
