#include "card/ExportRows.h"

#include "base/RuntimeError.h"
#include "card/CodePage.h"

void ThrowExportFailure(std::string_view what, const std::filesystem::path& file,
                        const std::string& reason) {
    throw RuntimeError(std::string(what) + " " + codepage::FromFileName(file) + ": " + reason);
}
