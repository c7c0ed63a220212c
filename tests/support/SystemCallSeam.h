#pragma once

#include "base/Files.h"

// A test's hold on the file module's system calls: it replaces entries of the table, and the
// real calls are back when the seam goes.
class SystemCallSeam {
public:
    SystemCallSeam() = default;
    ~SystemCallSeam() { files::Calls() = files::RealCalls(); }
    SystemCallSeam(const SystemCallSeam&) = delete;
    SystemCallSeam& operator=(const SystemCallSeam&) = delete;

    files::SystemCalls& calls = files::Calls();
};
