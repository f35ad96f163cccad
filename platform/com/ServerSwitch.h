#pragma once
// The switches COM and installers give a server program on its command line.

enum class ServerSwitch { None, RegServer, UnregServer, Embedding, Automation };

// One command-line argument, "-" or "/" then the name in any case; None for anything else.
ServerSwitch ServerSwitchOf(const wchar_t* argument);
