#include "CommandLine.h"

#include "FilmExport.h"
#include "Fonts.h"
#include "KeyTable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace {

struct Options {
    QCommandLineOption help, version, last, exportFilm, speed, pictureOnly;
};

Options addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("A small drawing program for children, with a Japanese user interface."));
    // Not addHelpOption(): its --help-all would list the window toolkit's options too.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption last(
        QStringLiteral("last"),
        QStringLiteral("Starts with the last drawing brought back, also one that was ended."));
    parser.addOption(last);
    const QCommandLineOption exportFilm(
        QStringLiteral("export"),
        QStringLiteral("Exports the making-of of the drawing as a film, OUT.webp or OUT.mp4, and"
                       " ends; needs no display."),
        QStringLiteral("drawing"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("With --export: plays the drawing N times as"
                                                  " fast (1 unless given)."),
                                   QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption pictureOnly(
        QStringLiteral("picture-only"),
        QStringLiteral("With --export: the picture alone, without the controls."));
    parser.addOptions({exportFilm, speed, pictureOnly});
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A drawing kept with Ctrl+Shift+S (.quenzel) or a picture to open."),
        QStringLiteral("[FILE]"));
    return {help, parser.addVersionOption(), last, exportFilm, speed, pictureOnly};
}

// The keys in two columns, laid out as the parser lays out the options.
QString keyListing() {
    const auto rows = KeyTable::rows();
    qsizetype width = 0;
    for (const KeyTable::Row& row : rows)
        width = std::max(width, KeyTable::keyText(row).size());
    QString listing = QStringLiteral("Keys in the window:\n");
    for (const KeyTable::Row& row : rows)
        listing += QStringLiteral("  %1  %2\n")
                       .arg(KeyTable::keyText(row), -int(width))
                       .arg(QString::fromUtf16(row.what));
    return listing;
}

} // namespace

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("quenzel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUENZEL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUENZEL_APP_ID));
}

QString helpText() {
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText() + u'\n' + keyListing();
}

StartAsked startAsked() {
    QCommandLineParser parser;
    const Options options = addOptions(parser);
    parser.parse(QCoreApplication::arguments());
    const QStringList files = parser.positionalArguments();
    return {parser.isSet(options.last), files.isEmpty() ? QString() : files.first()};
}

std::optional<int> answerExport(int argc, char* argv[]) {
    QCommandLineParser parser;
    Options options = [&] {
        const QCoreApplication probe(argc, argv);
        const Options added = addOptions(parser);
        parser.parse(QCoreApplication::arguments());
        return added;
    }();
    if (!parser.isSet(options.exportFilm)) return std::nullopt;
    bool whole = false;
    const int speed = parser.value(options.speed).toInt(&whole);
    if (parser.positionalArguments().size() != 1 || !whole || speed < 1 || speed > 1000) {
        std::fputs("usage: quenzel --export DRAWING OUT.webp|OUT.mp4 [--speed N] [--picture-only]"
                   " (N a whole number from 1 to 1000)\n",
                   stderr);
        return 1;
    }
    // The film is made in a window that never shows: no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // ...whose plugin would say, on the terminal, what it cannot do for a window.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    useJapaneseFonts();
    return exportFromCommandLine(
        parser.value(options.exportFilm), parser.positionalArguments().first(),
        {.speed = speed, .pictureOnly = parser.isSet(options.pictureOnly)});
}

std::optional<int> answerInformationOptions(int argc, char* argv[]) {
    // A core application only, so that the answer needs no display; it is gone before the
    // window's application starts.
    const QCoreApplication probe(argc, argv);
    QCommandLineParser parser;
    const Options options = addOptions(parser);
    parser.parse(QCoreApplication::arguments()); // unknown options are no error here
    QString answer;
    if (parser.isSet(options.help))
        answer = helpText();
    else if (parser.isSet(options.version))
        answer = QStringLiteral("quenzel %1\n").arg(QCoreApplication::applicationVersion());
    else
        return std::nullopt;
    std::fputs(answer.toLocal8Bit().constData(), stdout);
    return 0;
}
