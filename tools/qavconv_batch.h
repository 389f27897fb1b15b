#pragma once
// The folder form of qavconv: every file converted on a few worker threads.

#include "qavconv_command_line.h"

// Makes the output folder and converts every input of the command, `jobs` at a time; a file
// that fails gives one line on stderr and the others go on. On a terminal, and unless quiet,
// a progress line on stderr tells files done, failures and time spent. Returns the exit
// status: 0 when every file was converted, else 1.
int RunBatch(const QavconvCommand& command, unsigned jobs);
