#pragma once

#include "card/ExportColumns.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;
struct lxw_datetime;

// A workbook file that spreadsheets open as it is. It is written under a temporary name beside
// its target (the library's own temporary files go there too) and put in its place only when it
// is complete, so one that cannot be completed leaves no file under the name. Like a CSV export
// it replaces an existing file with its permission bits, and a symbolic link's target rather
// than the link. The library's own messages never reach standard error: failures throw
// RuntimeError naming the file ("Cannot write file NAME: REASON"). Workbooks may be written on
// several threads at once.
class Workbook {
public:
    explicit Workbook(std::filesystem::path path);
    // One not closed is completed all the same, so that what was written before a failure is
    // kept; what cannot be completed is removed.
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* Library() const { return workbook_; }
    lxw_worksheet* AddSheet(const char* name);

    // Cells. A text is code-page text and reads back character for character: characters that
    // XML cannot hold, and a text that would read as such an escape, are written as the
    // format's escapes ("_x0001_").
    void Text(lxw_worksheet* sheet, std::uint32_t row, std::uint16_t column, std::string_view text,
              lxw_format* format = nullptr);
    void Number(lxw_worksheet* sheet, std::uint32_t row, std::uint16_t column, double number,
                lxw_format* format = nullptr);
    // A cell of the kind: a number, a date or a time, shown as the text shows it, where the text
    // is a plain one; text otherwise (in the format given).
    void Typed(lxw_worksheet* sheet, std::uint32_t row, std::uint16_t column, CellKind kind,
               std::string_view text, lxw_format* format = nullptr);
    // Makes a library call of the caller's with the library's messages kept off standard error,
    // and checks its result: a failure throws "Cannot write file NAME: REASON".
    template <typename Call> void Checked(Call call) {
        const Quiet quiet;
        Check(call());
    }

    bool WriteFailed() const { return writeFailed_; }
    // Completes the workbook and puts it in place; throws "Cannot close file NAME: REASON".
    void Close();

private:
    // While one lives, what the library prints on standard error from this thread goes
    // nowhere; other threads' messages go on as they are.
    class Quiet {
    public:
        Quiet();
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;
    };

    std::filesystem::path path_;   // as named, for messages
    std::filesystem::path target_; // where it goes: a symbolic link's target
    std::filesystem::path temporary_;
    std::string folder_; // where the library keeps its temporary files
    lxw_workbook* workbook_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* time_ = nullptr;
    bool writeFailed_ = false;

    void DateTime(lxw_worksheet* sheet, std::uint32_t row, std::uint16_t column,
                  const lxw_datetime& when, lxw_format* format);
    void Check(int result);
    // Completes the workbook and puts it in place; the reason it could not be, empty when it
    // could.
    std::string Complete();
    void Discard();
};
