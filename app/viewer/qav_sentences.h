#pragma once
// The words a person reads about a file the codec could not read: one table from code to
// sentence, with the status's detail put in its place. Plain C++, so that qavconv says exactly
// what the viewer's error box says.

#include <string>

#include "qav_status.h"

// A whole sentence, ending in a full stop, e.g. "The file is not a QAV file: it does not start
// with "QAV"." Empty for Ok.
std::string QavSentence(const QavStatus& status);
