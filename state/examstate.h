#pragma once
// The examination of the current patient, shared by every window. Each list
// is paired with a count; readers take the count as the number of valid
// elements, never the list's own size: a list may hold stale elements beyond
// its count, and setting a count to 0 empties the list for every reader.
#include <QList>
#include <QString>
#include <QStringList>

namespace state {

// Deep examination results (deep window; read by the draft conclusion).
inline int DeepPassCount = 0;
inline QStringList RightEyeSigns;
inline int RightEyeSignCount = 0;
inline QStringList LeftEyeSigns;
inline int LeftEyeSignCount = 0;
inline QStringList RightEyeSignsOld;
inline int RightEyeSignCountOld = 0;
inline QStringList LeftEyeSignsOld;
inline int LeftEyeSignCountOld = 0;
inline QStringList PathologyLines;
inline int PathologyCount = 0;
inline QStringList UniquePathologyLines;
inline int UniquePathologyCount = 0;
inline QStringList FindingLines;
inline int FindingLineCount = 0;
inline QStringList ConsultLines;
inline int ConsultCount = 0;

// Codes of the sign just chosen, looked up in the pathology dictionary.
inline QList<int> SignCodes;
inline int SignCodeCount = 0;

// Express examination results.
inline QStringList VelkhoverLines;
inline int VelkhoverLineCount = 0;
inline QStringList KrivenkoLines;
inline int KrivenkoLineCount = 0;
inline QStringList ExpressLines;
inline int ExpressLineCount = 0;

// Phrase insertion into the draft conclusion.
inline int ConclCaretLine = 0;
inline int ConclCaretColumn = 0;
inline int GuideLineIndex = 0;
inline QString GuidePhrase;
inline QString ConclLineHead;
inline QString ConclLineTail;

// What the draft conclusion window holds: 0 a conclusion, 1 the header, 2 the signature.
inline int ConclMode = 0;

// Whether the examination holds results of its own: signs recorded for an
// eye or express results (what the new-patient reset empties).
bool resultsRecorded();

// Start values set when the main window is created.
void setStartValues();

// Every variable back to 0 or empty, as at process start (used between tests).
void clearAll();

// Sets element index of a list paired with a count, growing the list when
// needed; elements beyond the count may be stale and are overwritten.
void putAt(QStringList &list, int index, const QString &value);
void putAt(QList<int> &list, int index, int value);

// The first count elements of a list (fewer if the list is shorter).
QStringList valid(const QStringList &list, int count);

} // namespace state
