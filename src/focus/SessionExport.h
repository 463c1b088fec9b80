#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QStringList>
#include <optional>

#include "focus/FocusSession.h"

// The focus history as a table for other programs: CSV (RFC 4180) or a JSON array, one row per
// record with the same fields, times in ISO 8601 with the local offset of their moment.
namespace larkspur::sessionexport {

enum class Format { Csv, Json };

struct Request {
    Format format = Format::Csv;
    // Local calendar days, both included; a record belongs to the day it started on.
    std::optional<QDate> from;
    std::optional<QDate> to;
};

// The whole command line after the program's name, "--export-sessions FORMAT" among it.
// Nothing, with a one-line `error`, when it does not make a request.
std::optional<Request> parseArguments(const QStringList& arguments, QString* error);

QList<FocusSession> select(const QList<FocusSession>& sessions, const Request& request);
QByteArray render(const QList<FocusSession>& sessions, Format format);

// The stored history, read and never written: empty when there is no file, nothing (with
// `error`) when the file cannot be read or decoded.
std::optional<QList<FocusSession>> readHistory(const QString& path, QString* error);

}  // namespace larkspur::sessionexport
