#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("quenzel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUENZEL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUENZEL_APP_ID));
}

std::optional<int> answerInformationOptions(int argc, char* argv[]) {
    // A core application only, so that the answer needs no display; it is gone before the
    // window's application starts.
    const QCoreApplication probe(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A small drawing program for children, with a Japanese user interface."));
    // Not addHelpOption(): its --help-all would list the window toolkit's options too.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(QCoreApplication::arguments()); // unknown options are no error here
    QString answer;
    if (parser.isSet(help))
        answer = parser.helpText();
    else if (parser.isSet(version))
        answer = QStringLiteral("quenzel %1\n").arg(QCoreApplication::applicationVersion());
    else
        return std::nullopt;
    std::fputs(answer.toLocal8Bit().constData(), stdout);
    return 0;
}
