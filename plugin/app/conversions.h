// Numbers as the settings file and the prompts hold them: "%f" text and the
// wide-string-to-double reading of stored values, both independent of locale.
#pragma once

#include <string>

// The number at the start of text, as the C runtime's wide-string-to-double
// conversion reads it: leading blanks, a sign, digits with a decimal point and
// an exponent (or 0x hexadecimal), up to the first other character. Text that
// does not start with a number, and a number that is not finite, read as 0.
double wtof(const wchar_t* text);

// A real in "%f" form: six digits after the point.
std::wstring formatReal(double value);
// An integer in "%d" form.
std::wstring formatInt(int value);
