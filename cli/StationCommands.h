#pragma once

#include "cli/CardOptions.h"

// ostrivan-card status [--reader NAME]: whether a card is in the reader (the first listed when
// none is named), from the reader's state alone: no wait, no connection. Exit 0 when one is,
// 3 otherwise, with the reason on standard error.
int CardStatus(const CardOptions& options);

// ostrivan-card doctor: what a station has, for support, connecting to no card: the version,
// the PC/SC service, every reader with its state, the card files, the program's folders and
// the log file in use. Exit 0 when a reader (a card file counts) holds a card, 3 otherwise.
int Doctor();
