// How the companion programs pick numbers out of the save file's text lines:
// a line is read in pieces of at most 79 characters, and a number is found by
// its decimal point, reaching back to the blank before it.
#ifndef VORLIX_TOOLS_SAVETOKEN_H
#define VORLIX_TOOLS_SAVETOKEN_H

#include <cstdio>

namespace savetoken {

// A line is read with fgets into a buffer of this size: pieces of at most 79
// characters, so a longer line goes on in the next piece.
constexpr int kPieceSize = 80;

// The number token around the '.' at position k of line (positions from 0):
// from the nearest blank left of the point (searched down to position 1; at
// least one character and at most 13 between it and the point) up to the
// first blank, CR, LF or end of the text after the point (looking no further
// than position 79); at most 17 characters, its blank included. Gives the
// token as [begin, end) and true, or false when there is no such token.
bool NumberToken(const char* line, int k, int& begin, int& end);

// Position of the first '.' at or after position from, or -1.
int FindPoint(const char* line, int from);

}  // namespace savetoken

#endif
