#pragma once

#include <QString>
#include <QVariant>
#include <memory>

namespace bravel {

class Recordset;
class CatalogConnection;

// The catalog database engine: one SQLite file with the table FILES, reached through Qt Sql.
// Every operation returns whether it worked and sets the pending error Err (catalog errors are
// numbered in the 3000s) when it did not; none throws and none clears Err on success.
//
// Schema of FILES, fields in this order: ID INTEGER PRIMARY KEY AUTOINCREMENT,
// Eingangsdatei VARCHAR(255), Sicherungspfad VARCHAR(255), Dateigroesse INTEGER,
// Dateidatum (ISO text "yyyy-MM-dd HH:mm:ss"), Status TEXT, Computerstatus TEXT, Bemerkung TEXT;
// no NOT NULL, empty texts allowed, an index named "ID" on ID. WAL journal and a busy timeout, so
// that two running copies of the program share one catalog; the locks that keep it shared hold
// whatever else the program does with the files (platform/CatalogLocks.h).
class CatalogDatabase {
  public:
    ~CatalogDatabase();  // closes
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
    // Opens a recordset over an SQL text; the program uses "SELECT FILES.* FROM FILES". The text
    // must be one SELECT whose rows carry the field ID; writes of the recordset go to FILES.
    std::unique_ptr<Recordset> OpenRecordset(const QString& sql);
    // Closes the recordsets of this database too; they fail (3420) from then on. Closing a closed
    // database does nothing.
    bool Close();
    bool isOpen() const;

    // How long a write waits inside the engine for another program's lock before it fails with
    // 3260; a negative value restores the default (5 s). A caller that keeps its window alive
    // while it waits sets 0 and waits between tries itself.
    bool setBusyTimeout(int ms);

    // Several record writes in one transaction, for a run that writes a record per file: from
    // beginBatch on, Update and Delete of this database's recordsets write into one open
    // transaction, which commitBatch ends. Other programs see none of it before the commit and
    // cannot write meanwhile (readers go on). A failed write or commit rolls the whole batch back
    // and ends it; the error stays in Err, and the caller writes the records again one by one.
    bool beginBatch();
    bool commitBatch();
    bool inBatch() const;

    // The Qt Sql connection name (for the recordsets of this database).
    QString connectionName() const { return connection_; }

  private:
    CatalogDatabase(QString path, std::shared_ptr<CatalogConnection> link);
    QString path_;
    QString connection_;
    bool readOnly_ = false;
    // Shared with the recordsets, which may outlive this object.
    std::shared_ptr<CatalogConnection> link_;
};

// A dynaset over the FILES table with the record operations the program uses. Opening it is
// cheap; rows are read as the caller walks, so counting (MoveLast then RecordCount) does not load
// every row. Records come in the order of ID; records that another program adds are seen by the
// next move past them and by RecordCount.
class Recordset {
  public:
    virtual ~Recordset() = default;
    // A new recordset stands on its first record. On an empty recordset MoveFirst and MoveLast
    // leave EOF_ and BOF both true without an error; MoveNext at EOF_ fails (3021).
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;
    virtual void MoveLast() = 0;
    virtual bool EOF_() const = 0;
    virtual bool BOF() const = 0;
    // Only the criteria "ID = <number>" is understood; the number is parsed strictly and bound
    // as a parameter. Other criteria fail with a syntax error (3077) and change nothing. Sets
    // NoMatch; a match becomes the current record, without a match the current record stays.
    virtual bool FindFirst(const QString& criteria) = 0;
    virtual bool NoMatch() const = 0;
    // Field value of the current record (during Edit or AddNew: of the edit buffer); null fields
    // give a null QVariant, Dateidatum gives a QDateTime. Names match in any case. An unknown
    // field name fails (error 3265); no current record fails (3021), a deleted one 3167.
    virtual bool Field(const QString& name, QVariant& value) const = 0;
    // Only during Edit or AddNew (else 3020); ID cannot be set (3164). A QDateTime or QDate is
    // stored as "yyyy-MM-dd HH:mm:ss", any QString (even a null one) as text, an invalid
    // QVariant as null.
    virtual bool SetField(const QString& name, const QVariant& value) = 0;
    // Both fail with 3027 on a read-only catalog. A move or find drops an unfinished edit.
    virtual bool Edit() = 0;
    virtual bool AddNew() = 0;
    // Writes an Edit or AddNew in one transaction; afterwards the written record is the current
    // one, so after AddNew its new ID can be read.
    virtual bool Update() = 0;
    virtual bool Delete() = 0;  // the current record; it stays deleted until the next move
    // The number of records now in the recordset (counted by the engine, not by loading rows).
    virtual qint64 RecordCount() const = 0;
    virtual void Close() = 0;
};

}  // namespace bravel
