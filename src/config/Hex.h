#ifndef TESSEL_HEX_H
#define TESSEL_HEX_H

#include <string>

// The number written in hexadecimal at the end of `text`, from at most its
// last 8 characters. Only "0"-"9" and lower-case "a"-"f" are digits; any
// other character ends a number, and the numbers to its left are added, so
// "0x1f" and "#1f" give 31 and "12x34" gives 0x12 + 0x34. Eight digits of
// which the first is 8 or more give the 32-bit two's-complement value
// ("ffffffff" gives -1). The empty text gives 0.
int Hex(std::string text);

#endif
