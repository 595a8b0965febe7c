#pragma once
// The final editor's documents on disk, apart from any window.
//
// A file that is RTF is read as RTF; any other file as plain Windows-1251
// text. Writing always produces RTF, whatever the file's extension, and goes
// through a save file: the document is on disk whole or not at all, and an
// earlier file of the same name stays intact when writing fails.
#include <QString>
#include <QStringList>

class QTextDocument;

namespace reachfile {

struct Result {
    bool ok = false;
    QString error; // the message to show: file name and reason, in Russian
};

Result load(const QString &path, QTextDocument *doc, double unitsPerInch);
Result save(const QString &path, const QTextDocument &doc, double unitsPerInch);

// The document named on the command line: the first argument after the
// program, when it names an existing file; empty otherwise.
QString commandLineDocument(const QStringList &arguments);

} // namespace reachfile
