#pragma once

#include "card/Table.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;
struct lxw_datetime;

// How a cell looks, beyond what its kind makes of it.
enum class CellStyle { Plain, Bold };

// A range of one column's cells, rows counted from 0.
struct ColumnCells {
    std::string_view sheet;
    std::uint32_t firstRow;
    std::uint32_t lastRow;
    std::uint16_t column;
};

// A chart of series of cells: columns over their categories, or lines over dates.
struct Chart {
    enum class Kind { Columns, DatedLines };
    struct Series {
        ColumnCells name; // the cell that holds it
        ColumnCells categories;
        ColumnCells values;
    };

    Kind kind;
    std::string title;
    std::string xAxis;
    std::string yAxis;
    bool wholeNumbersUp = false; // the up axis counts: whole numbers only
    bool legend = true;
    std::vector<Series> series;
};

// A workbook file that spreadsheets open as it is. It is written under a temporary name beside
// its target (the library's own temporary files go there too) and put in its place only when it
// is complete, so one that cannot be completed leaves no file under the name. Like a CSV export
// it replaces an existing file with its permission bits, and a symbolic link's target rather
// than the link. The library's own messages never reach standard error: failures throw
// RuntimeError naming the file ("Cannot write file NAME: REASON"). Workbooks may be written on
// several threads at once. Every call of the workbook library is made here, and checked.
class Workbook {
public:
    using Sheet = std::size_t; // the number of a sheet, in the order added

    explicit Workbook(std::filesystem::path path);
    // One not closed is completed all the same, so that what was written before a failure is
    // kept; what cannot be completed is removed.
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    Sheet AddSheet(std::string_view name);

    // Cells. A text is code-page text and reads back character for character: characters that
    // XML cannot hold, and a text that would read as such an escape, are written as the
    // format's escapes ("_x0001_").
    void Text(Sheet sheet, std::uint32_t row, std::uint16_t column, std::string_view text,
              CellStyle style = CellStyle::Plain);
    void Number(Sheet sheet, std::uint32_t row, std::uint16_t column, double number);
    // A cell of the kind: a number, a date or a time, shown as the text shows it, where the text
    // is a plain one; text otherwise.
    void Typed(Sheet sheet, std::uint32_t row, std::uint16_t column, CellKind kind,
               std::string_view text);

    void SetWidth(Sheet sheet, std::uint16_t column, double width);
    // The first row stays in view.
    void FreezeTopRow(Sheet sheet);
    // A filter over the rows, header first, and the columns up to the last.
    void Filter(Sheet sheet, std::uint32_t lastRow, std::uint16_t lastColumn);
    void InsertChart(Sheet sheet, std::uint32_t row, std::uint16_t column, const Chart& chart);

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
    std::vector<lxw_worksheet*> sheets_;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* time_ = nullptr;
    lxw_format* decimals_ = nullptr;
    bool writeFailed_ = false;

    lxw_format* Format(const char* numbers, bool bold);
    void DateTime(Sheet sheet, std::uint32_t row, std::uint16_t column, const lxw_datetime& when,
                  lxw_format* format);
    // Makes the library call with its messages kept off standard error, and checks its result:
    // a failure throws "Cannot write file NAME: REASON".
    template <typename Call> void Checked(Call call);
    void Check(int result);
    // A result of the library that must be there: none is a failed write, told so.
    template <typename Result> Result* Made(Result* made, const char* what);
    // Completes the workbook and puts it in place; the reason it could not be, empty when it
    // could.
    std::string Complete();
    void Discard();
};
