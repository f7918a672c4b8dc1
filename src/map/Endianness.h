#ifndef TESSEL_ENDIANNESS_H
#define TESSEL_ENDIANNESS_H

#include <cstdint>

// Byte order of the 32-bit fields in packed map files (big-endian).
namespace Endianness {

// True when the host keeps the least significant byte first.
bool littleEndian();
// `value` with its four bytes in reverse order.
int reverseInt(int value);
// The big-endian 32-bit signed number in bytes[0..3].
int readBigEndian(const unsigned char* bytes);
// Writes `value` as a big-endian 32-bit number into bytes[0..3].
void writeBigEndian(int value, unsigned char* bytes);

} // namespace Endianness

#endif
