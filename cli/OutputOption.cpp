#include "cli/OutputOption.h"

#include "base/ControlCharacters.h"
#include "base/Files.h"
#include "card/CodePage.h"
#include "cli/ExitStatus.h"
#include "form/ExportFileName.h"

std::variant<std::filesystem::path, int> OutputFile(const std::string& output, bool force) {
    if (output.empty() || output == "-") {
        return std::filesystem::path();
    }
    if (const auto control = FirstControlCharacter(output)) {
        Complain("the output name cannot hold the control character " +
                 codepage::CharacterCode(static_cast<unsigned char>(output[*control])));
        return BadUsageStatus;
    }
    std::filesystem::path file = output;
    std::error_code ignored;
    if (output.back() == '/' || std::filesystem::is_directory(file, ignored)) {
        Complain(output + " is a folder: name a file in it");
        return ExitStatus(Outcome::OutputError);
    }
    file.replace_filename(ExportFileName(file.filename()));
    if (!force && files::IsRegularFile(file)) {
        Complain(file.native() + " exists; --force replaces it");
        return ExitStatus(Outcome::OutputError);
    }
    return file;
}
