// The field splitter for ";"-separated texts. Its position and result are
// shared by the whole library (one text at a time, one thread): a caller
// finishes one text before starting another, and each result is
// overwritten by the next call.
#pragma once

// Longest field returned; longer fields are cut.
constexpr int kMaxFieldLength = 254;

// Starts on `text` (copied, so it need not outlive the splitting) and
// returns the text up to the first ";", or null when there is none.
const char* first_field(const char* text);

// The next field after the remembered position, or null when no ";" follows.
// Text after the last ";" is never returned.
const char* next_field();
