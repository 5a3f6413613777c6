// The order of the device list's rows by one column's texts: dotted quads
// (addresses) by value, every other text as text, addresses before texts.
#pragma once

// A non-empty text of digits and exactly three dots (digits need not stand between them).
bool IsDottedQuad(const char* text);
// Two dotted quads by value: -1, 0 or 1. A number above 255 puts its text
// first; the caller compares two texts that both hold one as text.
int CompareDottedQuad(const char* a, const char* b);
// Whether a dotted quad holds a number above 255.
bool HasNumberAbove255(const char* dotted_quad);
// Ascending order of two column texts: negative, 0 or positive. Consistent
// whichever text comes first: dotted quads with a number above 255, then
// addresses by value, then every other text by the locale's comparison.
int CompareColumnTexts(const char* t1, const char* t2);
