#pragma once
// The dialog font in the script of the wizard's language. The templates name the shell's dialog
// font, which on a system of another script may lack the glyphs of a Japanese, Chinese, Korean
// or Russian table: the font is asked for in the language's character set, with the usual face
// of that script, so the font mapper picks one that has them.

#include <windows.h>

// The language of the string table the ordinary lookup picks in the module for that string: the
// language the screens' texts are in. 0 when the module lacks the string.
LANGID LanguageOfStrings(HMODULE module, UINT stringId);

// A new font like the dialog font in the character set of the language; null when the dialog
// font already serves it. The caller deletes it.
HFONT CreateFontForLanguage(HFONT dialogFont, LANGID language);
