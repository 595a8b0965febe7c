#pragma once
// The final editor's documents on disk, apart from any window.
//
// A file that is RTF is read as RTF; any other file as plain Windows-1251
// text, one paragraph a line. Either way the work is bounded as the RTF
// reader bounds it (rtf/rtfcommon.h): a paragraph too long to lay out
// quickly is cut, runs of empty lines are shortened; what was changed so is
// told in Result::notice, once, when the file is opened. Writing always
// produces RTF, whatever the file's extension, and goes through a save
// file: the document is on disk whole or not at all, and an earlier file of
// the same name stays intact when writing fails.
#include <QString>
#include <QStringList>

class QTextDocument;

namespace conclusion::reachfile {

struct Result {
    bool ok = false;
    QString error;  // the message to show: file name and reason, in Russian
    QString notice; // read, but not as it stood: what to tell the user
    bool whole = true; // false: the file is longer than was read
};

Result load(const QString &path, QTextDocument *doc, double unitsPerInch);
Result save(const QString &path, const QTextDocument &doc, double unitsPerInch);

// The document named on the command line: the first argument after the
// program, when it names an existing file; empty otherwise.
QString commandLineDocument(const QStringList &arguments);

} // namespace conclusion::reachfile
