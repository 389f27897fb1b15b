#pragma once
#include <QIcon>

// The program's icon: a 32 x 32 and a 16 x 16 image in 16 colours, drawn at start-up.
QIcon MakeApplicationIcon();
