// The mock AI and update service as a program, for end-to-end runs:
//   mendo_mock_service [--port N] [--script FILE] [--record FILE]
// It prints "port N" once it listens. FILE for --script holds
//   {"answers": [answer...], "fallback": answer}
// with answers as MockAiService::Answer::fromJson reads them; --record appends
// every request as one JSON line (method, path, headers, body).
#include "support/MockAiService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

using mendo::MockAiService;

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "mendo_mock_service: %s\n", qPrintable(message));
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("port"), QStringLiteral("Port to listen on (0: a free one)."),
        QStringLiteral("N"), QStringLiteral("0") });
    parser.addOption(
        { QStringLiteral("script"), QStringLiteral("JSON file with the answers."), QStringLiteral("FILE") });
    parser.addOption(
        { QStringLiteral("record"), QStringLiteral("Appends every request as a JSON line."), QStringLiteral("FILE") });
    parser.process(app);

    mendo::RealClock clock;
    MockAiService service(clock);

    if (parser.isSet(QStringLiteral("script"))) {
        QFile file(parser.value(QStringLiteral("script")));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(file.fileName()));
        const QJsonObject script = QJsonDocument::fromJson(file.readAll()).object();
        QString error;
        for (const QJsonValue& value : script.value(QStringLiteral("answers")).toArray()) {
            auto answer = MockAiService::Answer::fromJson(value.toObject(), &error);
            if (!answer)
                return fail(error);
            service.enqueue(*answer);
        }
        if (script.contains(QStringLiteral("fallback"))) {
            auto answer = MockAiService::Answer::fromJson(script.value(QStringLiteral("fallback")).toObject(), &error);
            if (!answer)
                return fail(error);
            service.setFallback(*answer);
        }
    }

    QFile record;
    if (parser.isSet(QStringLiteral("record"))) {
        record.setFileName(parser.value(QStringLiteral("record")));
        if (!record.open(QIODevice::Append | QIODevice::Text))
            return fail(QStringLiteral("cannot write %1").arg(record.fileName()));
        QObject::connect(&service, &MockAiService::requestReceived, &app, [&record](const auto& request) {
            record.write(QJsonDocument(request.toJson()).toJson(QJsonDocument::Compact) + '\n');
            record.flush();
        });
    }

    bool portOk = false;
    const uint port = parser.value(QStringLiteral("port")).toUInt(&portOk);
    if (!portOk || port > 65535 || !service.listen(quint16(port)))
        return fail(QStringLiteral("cannot listen on port %1").arg(parser.value(QStringLiteral("port"))));
    std::printf("port %u\n", unsigned(service.port()));
    std::fflush(stdout);
    return app.exec();
}
