// Unique names: temporary model-file names and the 22-character identifiers
// given to new objects.
//
// Identifier form: the 16 bytes of a GUID in their canonical order, written
// 6 bits per character, most significant first, with the alphabet
// "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$": the
// first byte gives 2 characters, then five groups of three bytes give 4 each.
// Test identifiers are "QA_GUID_" padded with '0' to 22 characters less the
// digits of a process-wide counter, then the counter, so test runs repeat.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

// "<folder>/QUELMM_<base>_<number>_<yymmdd>_<hhmmss>" followed by a few
// characters that make it name no existing file; the date and time are the
// local time now. An empty folder means the system's temporary folder. Empty
// when no name could be made.
KString KModelTempName(const char* base, INT_PTR number, const char* folder = nullptr);

// Writes a new identifier (22 characters and a terminator) into `buffer`.
// Nothing is written and true is answered when size <= 22 or no GUID is to be had.
bool KNewIdentifier(char* buffer, size_t size);
// The identifier of 16 GUID bytes in canonical order; `out` holds 23 characters.
void KCompressGuidBytes(const unsigned char bytes[16], char out[23]);
// In test mode (the application object's IsTestMode) the next test identifier,
// otherwise a new identifier. Same buffer rule as KNewIdentifier.
bool KNewTestIdentifier(char* buffer, size_t size);
