#pragma once
// The three scan-animation clips live in the program as resources ":/1.avi", ":/2.avi" and
// ":/3.avi"; players need files, so start-up writes each to a file in the temporary folder
// named by a fresh braced GUID, and shutdown deletes them.

#include <QString>
#include <QStringList>

namespace quorvia {

// A new GUID in its braced upper-case text form, "{8-4-4-4-12 hex digits}".
QString NewGuidText();

// Writes the clips in order and returns their paths. Stops at the first failure: the paths
// written so far are returned, so the caller can still delete them.
QStringList WriteAnimationFiles(const QString& tempFolder);
void DeleteAnimationFiles(const QStringList& paths);

} // namespace quorvia
