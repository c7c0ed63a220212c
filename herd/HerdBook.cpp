#include "herd/HerdBook.h"

#include "card/CodePage.h"

#include <algorithm>
#include <sqlite3.h>
#include <tuple>

namespace {

// "OSTV": what marks the database as a herd book, and the version of its tables.
constexpr std::int32_t ApplicationId = 0x4F535456;
constexpr std::int64_t SchemaVersion = 1;
// How long a program waits for another's writing before it gives up.
constexpr int BusyPatienceMs = 3000;
constexpr std::int64_t NoGate = -1;

// Each weighing once: a weighing is its animal (the tag's key), its time, its weight and its
// gate; the book keeps the tag as the card had it and the image it was first seen in. Texts are
// code-page bytes, kept as they are.
constexpr const char* Schema = R"(
CREATE TABLE image (
    id INTEGER PRIMARY KEY,
    sha256 BLOB NOT NULL UNIQUE,
    name BLOB NOT NULL
);
CREATE TABLE weighing (
    key BLOB NOT NULL,
    day INTEGER NOT NULL,
    second INTEGER NOT NULL,
    weight INTEGER NOT NULL,
    gate INTEGER NOT NULL,
    tag BLOB NOT NULL,
    image INTEGER NOT NULL REFERENCES image (id),
    PRIMARY KEY (key, day, second, weight, gate)
) WITHOUT ROWID;
CREATE TABLE file (
    path BLOB PRIMARY KEY,
    identity BLOB NOT NULL,
    sha256 BLOB NOT NULL
) WITHOUT ROWID;
)";

// A prepared statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        prepared_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int Prepared() const { return prepared_; }
    void Bind(int at, std::string_view bytes) {
        sqlite3_bind_blob(statement_, at, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_STATIC);
    }
    void Bind(int at, std::int64_t number) { sqlite3_bind_int64(statement_, at, number); }
    // The next row (SQLITE_ROW), the end (SQLITE_DONE), or what went wrong; ready to be used
    // again after the end.
    int Step() {
        const int result = sqlite3_step(statement_);
        if (result != SQLITE_ROW) {
            sqlite3_reset(statement_);
        }
        return result;
    }
    std::int64_t Number(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string_view Bytes(int column) const {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return {bytes == nullptr ? "" : bytes,
                static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
    }

private:
    sqlite3_stmt* statement_ = nullptr;
    int prepared_ = SQLITE_OK;
};

std::string_view BytesOf(const ImageHash& hash) {
    return {reinterpret_cast<const char*>(hash.data()), hash.size()};
}

// A weighing as the book keys it, and where it comes from among the images taken in together.
struct Keyed {
    std::string key;
    std::int64_t day, second, weight, gate;
    const Weighing* weighing;
    std::size_t image;

    auto Identity() const { return std::tie(key, day, second, weight, gate); }
};

// The weighings of the images, each once, as seen first, in the book's order.
std::vector<Keyed> EachOnce(std::span<const HerdBook::Image> images,
                            const std::vector<bool>& known) {
    std::vector<Keyed> keyed;
    for (std::size_t image = 0; image < images.size(); ++image) {
        if (known[image]) {
            continue;
        }
        for (const Weighing& weighing : images[image].weighings) {
            keyed.push_back({TagKey(weighing.tag), weighing.day.time_since_epoch().count(),
                             weighing.timeOfDay.count(), weighing.weight,
                             weighing.gate.value_or(NoGate), &weighing, image});
        }
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return std::tuple_cat(a.Identity(), std::tie(a.image)) <
               std::tuple_cat(b.Identity(), std::tie(b.image));
    });
    keyed.erase(
        std::unique(keyed.begin(), keyed.end(),
                    [](const Keyed& a, const Keyed& b) { return a.Identity() == b.Identity(); }),
        keyed.end());
    return keyed;
}

} // namespace

HerdBook::HerdBook(std::filesystem::path file) : file_(std::move(file)) {
    std::error_code ignored; // a folder that cannot be made shows as a book that cannot be opened
    std::filesystem::create_directories(file_.parent_path(), ignored);
    const int opened =
        sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (opened != SQLITE_OK) {
            Fail(db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(opened));
        }
        sqlite3_busy_timeout(db_, BusyPatienceMs);
        MakeOrCheckSchema();
        // A program stopped at any point loses no transaction it committed.
        Execute("PRAGMA synchronous = NORMAL");
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

HerdBook::~HerdBook() {
    sqlite3_close(db_);
}

void HerdBook::Fail(const std::string& reason) const {
    throw HerdBookError("The herd book " + codepage::FromFileName(file_) +
                        " cannot be used: " + reason);
}

void HerdBook::Check(int result, int expected) const {
    if (result != expected) {
        Fail(sqlite3_errmsg(db_));
    }
}

void HerdBook::Execute(const char* sql) {
    Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK);
}

std::int64_t HerdBook::Number(const char* sql) {
    Statement statement(db_, sql);
    Check(statement.Prepared(), SQLITE_OK);
    Check(statement.Step(), SQLITE_ROW);
    return statement.Number(0);
}

void HerdBook::MakeOrCheckSchema() {
    if (Number("PRAGMA application_id") == 0 && Number("PRAGMA user_version") == 0) {
        // A new book; another program may be making it at the same time.
        Execute("BEGIN IMMEDIATE");
        if (Number("PRAGMA application_id") == 0) {
            if (Number("SELECT count(*) FROM sqlite_master") != 0) {
                Execute("ROLLBACK");
                Fail("it is a database, but not a herd book");
            }
            Execute(Schema);
            Execute(("PRAGMA application_id = " + std::to_string(ApplicationId)).c_str());
            Execute(("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str());
        }
        Execute("COMMIT");
        Number("PRAGMA journal_mode = WAL");
    }
    if (Number("PRAGMA application_id") != ApplicationId) {
        Fail("it is a database, but not a herd book");
    }
    if (Number("PRAGMA user_version") > SchemaVersion) {
        Fail("it was written by a newer version of Ostrivan");
    }
}

bool HerdBook::Knows(const ImageHash& image) {
    Statement known(db_, "SELECT 1 FROM image WHERE sha256 = ?");
    Check(known.Prepared());
    known.Bind(1, BytesOf(image));
    const int result = known.Step();
    if (result != SQLITE_DONE) {
        Check(result, SQLITE_ROW);
    }
    return result == SQLITE_ROW;
}

void HerdBook::TakeIn(std::span<const Image> images, std::span<const FileRead> files) {
    Execute("BEGIN IMMEDIATE");
    try {
        Statement addImage(db_, "INSERT OR IGNORE INTO image (sha256, name) VALUES (?, ?)");
        Statement addWeighing(db_, "INSERT OR IGNORE INTO weighing "
                                   "(key, day, second, weight, gate, tag, image) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?)");
        Statement addFile(db_, "INSERT OR REPLACE INTO file (path, identity, sha256) "
                               "VALUES (?, ?, ?)");
        Check(addImage.Prepared());
        Check(addWeighing.Prepared());
        Check(addFile.Prepared());
        // Another program may have taken an image in meanwhile: its weighings are in then.
        std::vector<bool> known(images.size());
        std::vector<std::int64_t> ids(images.size());
        for (std::size_t at = 0; at < images.size(); ++at) {
            addImage.Bind(1, BytesOf(images[at].hash));
            addImage.Bind(2, images[at].name);
            Check(addImage.Step(), SQLITE_DONE);
            known[at] = sqlite3_changes(db_) == 0;
            ids[at] = sqlite3_last_insert_rowid(db_);
        }
        for (const Keyed& weighing : EachOnce(images, known)) {
            addWeighing.Bind(1, weighing.key);
            addWeighing.Bind(2, weighing.day);
            addWeighing.Bind(3, weighing.second);
            addWeighing.Bind(4, weighing.weight);
            addWeighing.Bind(5, weighing.gate);
            addWeighing.Bind(6, weighing.weighing->tag);
            addWeighing.Bind(7, ids[weighing.image]);
            Check(addWeighing.Step(), SQLITE_DONE);
        }
        for (const FileRead& file : files) {
            addFile.Bind(1, file.path);
            addFile.Bind(2, file.identity);
            addFile.Bind(3, BytesOf(file.hash));
            Check(addFile.Step(), SQLITE_DONE);
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::vector<HerdBook::FileRead> HerdBook::FilesRead() {
    Statement rows(db_, "SELECT path, identity, sha256 FROM file");
    Check(rows.Prepared());
    std::vector<FileRead> files;
    int result = 0;
    while ((result = rows.Step()) == SQLITE_ROW) {
        FileRead file{std::string(rows.Bytes(0)), std::string(rows.Bytes(1)), {}};
        const std::string_view hash = rows.Bytes(2);
        std::copy_n(hash.begin(), std::min(hash.size(), file.hash.size()), file.hash.begin());
        files.push_back(std::move(file));
    }
    Check(result, SQLITE_DONE);
    return files;
}

void HerdBook::Weighings(const std::function<void(const Kept&)>& each, bool images,
                         const std::string* key) {
    std::string sql = "SELECT w.key, w.tag, w.day, w.second, w.weight, w.gate";
    sql += images ? ", i.name FROM weighing AS w JOIN image AS i ON i.id = w.image"
                  : " FROM weighing AS w";
    if (key != nullptr) {
        sql += " WHERE w.key = ?";
    }
    sql += " ORDER BY w.key, w.day, w.second, w.weight, w.gate";
    Statement rows(db_, sql.c_str());
    Check(rows.Prepared());
    if (key != nullptr) {
        rows.Bind(1, *key);
    }
    Kept kept;
    int result = 0;
    while ((result = rows.Step()) == SQLITE_ROW) {
        kept.key = rows.Bytes(0);
        kept.weighing.tag = rows.Bytes(1);
        kept.weighing.day = std::chrono::sys_days(std::chrono::days(rows.Number(2)));
        kept.weighing.timeOfDay = std::chrono::seconds(rows.Number(3));
        kept.weighing.weight = rows.Number(4);
        const std::int64_t gate = rows.Number(5);
        kept.weighing.gate = gate == NoGate ? std::nullopt : std::optional(gate);
        kept.image = images ? rows.Bytes(6) : std::string_view();
        each(kept);
    }
    Check(result, SQLITE_DONE);
}
