#pragma once

#include "reader/PcscTransport.h"

#include <memory>

// The PC/SC service through pcsc-lite, loaded by name at the first call. Where the library
// cannot be loaded every call answers that the service is not running.
std::unique_ptr<PcscTransport> MakePcscLiteTransport();
