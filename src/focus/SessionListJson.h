#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include "focus/FocusSession.h"

// The array form of "focus-sessions.json", written and read straight from the bytes: with a
// history of 100,000 records a general JSON tree costs several times the time allowed for a
// whole load or save.
namespace larkspur::sessionlist {

QByteArray encode(const QList<FocusSession>& sessions);
// One record as a JSON object: keys in field order, absent optionals left out.
void appendRecord(QByteArray& out, const FocusSession& session);
// Appends a record in place to a JSON array of at least one record that ends in "]".
void appendToArray(QByteArray& array, const FocusSession& session);

// Nothing when the bytes are not plainly a valid list: the caller then asks the storage
// manager's general reader, which accepts more forms and reports what it refuses.
std::optional<QList<FocusSession>> decode(QByteArrayView bytes);

}  // namespace larkspur::sessionlist
