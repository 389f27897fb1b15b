#pragma once
// The run-length code of QAV files. A stream is a sequence of runs, each starting with a
// control byte c: 0 is an empty run, 1..128 a literal run of c stored bytes, 129..255 a repeat
// run of one stored value byte written c - 128 times.

#include <cstddef>
#include <cstdint>

#include "qav_status.h"

// The three entry points of the format's contract: they expect well-formed streams and a
// destination large enough for the expansion. On a malformed stream they still read nothing
// past storedLength (RleExpandToSize: past its outputSize-th output byte's run) and write
// nothing past the expansion of the well-formed prefix; use the bounded forms below to learn
// that a stream was malformed.
int RleExpand(const uint8_t* source, uint8_t* destination, int storedLength);
int RleExpandedSize(const uint8_t* source, int storedLength);
void RleExpandToSize(const uint8_t* source, uint8_t* destination, int outputSize);

// The status of a bounded form: Ok, RunPastEnd (the last run reaches past the stored bytes),
// ExpansionTooLong (the expansion does not fit the destination or overshoots outputSize) or
// ExpansionShort (the stored bytes end before outputSize bytes were produced).
struct RleOutcome {
  QavStatus status = QavStatus::Ok();
  size_t produced = 0;  // bytes written (or counted)
  size_t consumed = 0;  // stored bytes read
};

// Expands storedLength bytes into at most capacity bytes of destination.
RleOutcome RleExpandBounded(const uint8_t* source, size_t storedLength, uint8_t* destination,
                            size_t capacity);
// Counts the expansion of storedLength bytes; writes nothing.
RleOutcome RleExpandedSizeBounded(const uint8_t* source, size_t storedLength);
// Expands runs until exactly outputSize bytes are produced, reading at most storedLength bytes.
// Ok only when the last run read ends exactly on outputSize.
RleOutcome RleExpandToSizeBounded(const uint8_t* source, size_t storedLength, uint8_t* destination,
                                  size_t outputSize);
