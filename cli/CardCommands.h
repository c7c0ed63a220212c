#pragma once

#include "cli/CardOptions.h"

// The commands over the window's form, each returning its exit status.
int ListReaders(const CardOptions& options);
int ReadCard(const CardOptions& options);
int FormatCard(const CardOptions& options);
// The export of a card image, or of a card written as text, without a reader, log or archive.
int ExportCard(const CardOptions& options);
