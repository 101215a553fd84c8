#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace bravel {

class Recordset;

// The catalog database engine: one SQLite file with the table FILES, reached through Qt Sql.
// Every operation returns whether it worked and sets the pending error Err (catalog errors are
// numbered in the 3000s) when it did not.
//
// Schema of FILES, fields in this order: ID INTEGER PRIMARY KEY AUTOINCREMENT,
// Eingangsdatei VARCHAR(255), Sicherungspfad VARCHAR(255), Dateigroesse INTEGER,
// Dateidatum (ISO text "yyyy-MM-dd HH:mm:ss"), Status TEXT, Computerstatus TEXT, Bemerkung TEXT;
// no NOT NULL, empty texts allowed, an index named "ID" on ID. WAL journal and a busy timeout, so
// that two running copies of the program share one catalog.
class CatalogDatabase {
public:
    ~CatalogDatabase();
    CatalogDatabase(const CatalogDatabase&) = delete;
    CatalogDatabase& operator=(const CatalogDatabase&) = delete;

    // Creates a new, empty catalog. Never overwrites: an existing path fails and stays unchanged.
    static std::unique_ptr<CatalogDatabase> create(const QString& path);
    // Opens an existing catalog. Never creates a file and never changes a file that is not a
    // catalog. A catalog that cannot be written (read-only file or folder) opens for reading;
    // writes then fail.
    static std::unique_ptr<CatalogDatabase> open(const QString& path);

    QString name() const { return path_; }  // the full path
    bool isReadOnly() const { return readOnly_; }
    // Opens a recordset over an SQL text; the program uses "SELECT FILES.* FROM FILES".
    std::unique_ptr<Recordset> OpenRecordset(const QString& sql);
    bool Close();
    bool isOpen() const;

    // The Qt Sql connection name (for the recordsets of this database).
    QString connectionName() const { return connection_; }

private:
    CatalogDatabase(QString path, QString connection, bool readOnly);
    QString path_;
    QString connection_;
    bool readOnly_ = false;
};

// A dynaset over the FILES table with the record operations the program uses. Opening it is
// cheap; rows are read as the caller walks, so counting (MoveLast then RecordCount) does not load
// every row.
class Recordset {
public:
    virtual ~Recordset() = default;
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;
    virtual void MoveLast() = 0;
    virtual bool EOF_() const = 0;
    virtual bool BOF() const = 0;
    // Only the criteria "ID = <number>" is understood; the number is parsed strictly and bound
    // as a parameter. Other criteria fail with a syntax error. Sets NoMatch.
    virtual bool FindFirst(const QString& criteria) = 0;
    virtual bool NoMatch() const = 0;
    // Field value of the current record; null fields give a null QVariant. An unknown field
    // name fails (error 3265); no current record fails (3021).
    virtual bool Field(const QString& name, QVariant& value) const = 0;
    virtual bool SetField(const QString& name, const QVariant& value) = 0;
    virtual bool Edit() = 0;
    virtual bool AddNew() = 0;
    virtual bool Update() = 0;  // writes an Edit or AddNew; with AddNew the new ID is known after
    virtual bool Delete() = 0;  // the current record
    virtual qint64 RecordCount() const = 0;
    virtual void Close() = 0;
};

}  // namespace bravel
