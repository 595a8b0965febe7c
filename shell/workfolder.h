#pragma once
// The program's working folder. Data files are read relative to the working
// directory (".\SystmTxt\Patology.txt" and the rest), so the program runs in
// a folder of its own that holds them: the current folder if it already
// holds the data (a folder with SystmTxt), otherwise $NIREL3_HOME, or else
// $XDG_DATA_HOME/nirel3 (~/.local/share/nirel3). On the first start that
// folder is filled from the data shipped with the program, and nothing there
// is ever overwritten afterwards: the dictionary, Caption.txt and
// Signature.txt edited there are the user's. This is the one place that
// knows it; tools/run.sh and the desktop menu simply start the program.
#include <QString>

namespace shell::workfolder {

// Where the working folder is, when the current one is not one.
QString location();

// The data shipped with the program: <prefix>/share/nirel3 of an installed
// program (beside its bin/), or the data/ link in a build folder.
QString shippedData();

// Whether a folder holds the program's data.
bool isWorkFolder(const QString &folder);

// Copies into folder every file of from that folder lacks (creating
// folders as needed), overwriting nothing. False, with error set, on failure.
bool seed(const QString &folder, const QString &from, QString *error);

// At start-up: stays in the current folder if it is a working folder,
// otherwise makes location() one (seeding it from shipped) and goes there.
// Returns what to tell the user when that failed; the program then runs
// where it is.
QString enter(const QString &shipped = shippedData());

} // namespace shell::workfolder
