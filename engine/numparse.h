// Number texts of the engine: reading numbers from the program's text files and
// entry fields, and making written numbers carry a decimal point whatever the
// process locale (the GUI toolkit switches LC_NUMERIC to the user's locale).
#ifndef VORLIX_ENGINE_NUMPARSE_H
#define VORLIX_ENGINE_NUMPARSE_H

#include <cstdio>

// Longest line Fscanf reads at once; a longer line is split and its rest is
// read as the next line.
constexpr int FSCANF_LINE_MAX = 79;

// Decimal number text to double, independent of the locale: leading and trailing
// white space is ignored, the decimal separator is '.', exponent forms are read.
// The number is read from the start of the text up to the first character that
// cannot continue it (as atof does). A text that holds no number, or whose
// number is not a finite double (nan, inf, overflow), gives 0. A null pointer
// gives 0.
double Atof(const char* text);

// Every ',' before the first '(' becomes '.'; the rest (e.g. "(123,45)") stays.
void decdot(char* s);
// Every ',' in the text becomes '.'.
void decdot0(char* s);

// Reads one line (at most FSCANF_LINE_MAX characters) and converts its first n
// blank-separated fields with Atof into v[0..n-1]. Only the blank separates
// fields: the line end belongs to the last field. Returns 1 when n values were
// stored; 0 at end of file, for an empty line, or when the line has fewer than
// n fields (the values found are still stored). n < 1 returns 1 after reading
// the line.
int Fscanf(FILE* f, int n, double* v);

#endif
