#pragma once
// One prepared SQLite statement, finalized on every path out.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::platform::portable {

class SqliteStatement {
public:
    SqliteStatement(sqlite3* connection, const char* sql) {
        result_ = sqlite3_prepare_v2(connection, sql, -1, &statement_, nullptr);
    }
    ~SqliteStatement() { sqlite3_finalize(statement_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return result_ == SQLITE_OK && statement_ != nullptr; }

    void Bind(int index, std::int64_t value) { sqlite3_bind_int64(statement_, index, value); }
    void Bind(int index, std::string_view text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    // A zero-length blob stays a blob (never NULL).
    void BindBlob(int index, const std::uint8_t* data, std::size_t size) {
        static const std::uint8_t nothing = 0;
        sqlite3_bind_blob(statement_, index, size ? data : &nothing, static_cast<int>(size),
                          SQLITE_TRANSIENT);
    }

    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step() { return Prepared() ? sqlite3_step(statement_) : result_; }

    std::int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(statement_, column);
        return text
                   ? std::string(reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                   : std::string();
    }
    std::vector<std::uint8_t> Blob(int column) const {
        const auto* data =
            static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
        const int size = sqlite3_column_bytes(statement_, column);
        return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
    }

private:
    sqlite3_stmt* statement_ = nullptr;
    int result_ = SQLITE_ERROR;
};

} // namespace nimbrel::platform::portable
