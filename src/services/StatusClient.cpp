#include "services/StatusClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

#include "services/InstanceClient.h"
#include "services/InstanceProtocol.h"
#include "services/SingleInstance.h"

namespace larkspur {

namespace {

QString describe(const QJsonObject& timer, bool withState) {
    QStringList parts;
    if (const QString emoji = timer.value(u"emoji").toString(); !emoji.isEmpty()) parts << emoji;
    parts << timer.value(u"name").toString();
    if (withState) parts << timer.value(u"state").toString();
    parts << timer.value(u"display").toString();
    QString line = parts.join(u' ');
    // One timer, one line, whatever its name holds.
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

void complain(const QString& message) {
    std::fprintf(stderr, "larkspurhollow: %s\n", qPrintable(message));
}

}  // namespace

std::optional<QString> formatStatus(const QByteArray& status, const StatusRequest& request) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(status, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
    if (request.json) return QString::fromUtf8(document.toJson(QJsonDocument::Compact)) + u'\n';
    QString out;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject timer = value.toObject();
        if (!request.first) {
            out += describe(timer, true) + u'\n';
        } else if (timer.value(u"state").toString() == u"running") {
            return describe(timer, false) + u'\n';
        }
    }
    // A stream says "nothing runs" with an empty line; a single answer says nothing.
    if (request.first && request.watch) return QStringLiteral("\n");
    return out;
}

int requestStatus(SingleInstance& instance, const StatusRequest& request) {
    QString why;
    const QString path = instance.locate(&why);
    const auto notRunning = [&] {
        complain(why.isEmpty() ? QStringLiteral("the program is not running") : why);
        return kExitNotRunning;
    };
    if (path.isEmpty()) return notRunning();
    const QDeadlineTimer deadline(instance.timeout());
    InstanceClient client;
    switch (client.connectTo(path, deadline)) {
        case InstanceClient::Connect::NoServer:
            return notRunning();
        case InstanceClient::Connect::Failed:
            complain(QStringLiteral("cannot reach the running program: ") + client.error());
            return 1;
        case InstanceClient::Connect::Connected:
            break;
    }
    if (!client.write(wire::frame(request.watch ? wire::kWatch : wire::kStatus), deadline)) {
        complain(QStringLiteral("cannot ask the running program: ") + client.error());
        return 1;
    }
    QString shown;
    bool answered = false;
    for (;;) {
        char kind = 0;
        QByteArray status;
        // Only the first answer has a deadline; a stream waits for changes as long as it takes.
        const QDeadlineTimer wait = answered ? QDeadlineTimer(QDeadlineTimer::Forever) : deadline;
        switch (client.readFrame(&kind, &status, wire::kMaxReplyBytes, wait)) {
            case InstanceClient::Read::Ok:
                break;
            case InstanceClient::Read::Closed:
                if (answered) return 0;  // the program has quit
                complain(QStringLiteral("the running program closed the connection unanswered"));
                return 1;
            case InstanceClient::Read::TimedOut:
                complain(QStringLiteral("the running program did not answer within %1 s")
                             .arg(instance.timeout() / 1000.0));
                return kExitNoAnswer;
            case InstanceClient::Read::Failed:
                complain(client.error());
                return 1;
        }
        const std::optional<QString> formatted = formatStatus(status, request);
        if (kind != wire::kReply || !formatted) {
            complain(QStringLiteral("the running program sent an answer that is not a list"));
            return 1;
        }
        const QString& text = *formatted;
        if (!answered || text != shown) {
            shown = text;
            const QByteArray bytes = text.toUtf8();
            if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) !=
                    size_t(bytes.size()) ||
                std::fflush(stdout) != 0)
                return 0;  // the reader has gone
        }
        answered = true;
        if (!request.watch) return 0;
    }
}

}  // namespace larkspur
