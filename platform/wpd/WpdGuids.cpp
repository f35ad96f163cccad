// Gives the identifiers that mingw-w64's value-collection header declares their one definition.
#include <initguid.h>
#include <portabledevicetypes.h>
