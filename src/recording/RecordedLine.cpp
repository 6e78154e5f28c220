#include "RecordedLine.h"

#include "canvas/PictureFile.h"
#include "drawing/FormDesign.h"

#include <QBuffer>
#include <QStringList>

#include <charconv>
#include <cmath>

namespace recording {

namespace {

using namespace action;

constexpr double kMaxRatio = 16;
constexpr int kMaxClient = 16384;
constexpr double kMaxSteps = 1e6; // a second of steps is 1000

// The shortest text that reads back as the same number, appended without a temporary: a
// line is written for every pointer movement.
template <typename Number>
requires std::is_arithmetic_v<Number> QByteArray& operator<<(QByteArray& out, Number v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return out.append(buffer, end - buffer);
}
QByteArray& operator<<(QByteArray& out, const char* text) { return out.append(text); }
QByteArray& operator<<(QByteArray& out, char c) { return out.append(c); }
QByteArray& operator<<(QByteArray& out, const QByteArray& text) { return out.append(text); }

QByteArray number(double v) {
    QByteArray out;
    return out << v;
}

QByteArray buttonName(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return "left";
    case Qt::RightButton:
        return "right";
    case Qt::MiddleButton:
        return "middle";
    default:
        return QByteArray::number(uint(button));
    }
}

// Backslashes and control characters as \xHH, a lone surrogate as \uHHHH: every text a box
// can hold stays on its line and reads back the same.
QByteArray escaped(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == u'\\') {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

std::optional<QString> unescaped(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        const int digits = i + 1 < text.size() && text[i + 1] == u'x'   ? 2
                           : i + 1 < text.size() && text[i + 1] == u'u' ? 4
                                                                        : 0;
        bool ok = false;
        const uint code = digits ? text.mid(i + 2, digits).toUInt(&ok, 16) : 0;
        if (!ok || i + 2 + digits > text.size()) return std::nullopt;
        out += QChar(char16_t(code));
        i += 1 + digits;
    }
    return out;
}

struct Words {
    QList<QStringView> words;
    QStringView line;
    QString* error;

    bool fail(const QString& why) const {
        if (error) *error = why;
        return false;
    }
    std::optional<double> real(int at, double lo, double hi) const {
        bool ok = false;
        const double v = at < words.size() ? words[at].toDouble(&ok) : 0;
        if (!ok || !std::isfinite(v) || v < lo || v > hi) {
            fail(QStringLiteral("'%1' is no number from %2 to %3")
                     .arg(at < words.size() ? words[at] : QStringView())
                     .arg(lo)
                     .arg(hi));
            return std::nullopt;
        }
        return v;
    }
    std::optional<Qt::MouseButton> button(int at) const {
        if (at >= words.size()) return Qt::LeftButton;
        const auto named = mouseButtonNamed(words[at]);
        if (!named) fail(QStringLiteral("'%1' is no mouse button").arg(words[at]));
        return named;
    }
};

// Lossless, and read back through the same reader and limits as any picture opened.
QByteArray pictureData(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toBase64();
}

std::optional<Action> openedPicture(const Words& w) {
    const auto decoded = QByteArray::fromBase64Encoding(w.words[2].toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return w.fail(QStringLiteral("the picture is no base64")), std::nullopt;
    QBuffer buffer;
    buffer.setData(*decoded);
    buffer.open(QIODevice::ReadOnly);
    QString reason;
    if (auto image = picture::read(buffer, &reason, "png")) return Picture{std::move(*image)};
    return w.fail(QStringLiteral("the picture does not read: ") + reason), std::nullopt;
}

bool isMenuItem(QStringView name) {
    for (const design::MenuRow& item : design::menu())
        if (name == QLatin1String(item.name)) return true;
    return false;
}

std::optional<Action> pointerOnCanvas(const Words& w, Pointer pointer) {
    constexpr double kFar = 1e9;
    const auto x = w.real(2, -kFar, kFar), y = w.real(3, -kFar, kFar);
    const auto button = pointer == Pointer::Move ? Qt::NoButton : w.button(4);
    if (!x || !y || !button) return std::nullopt;
    return OnCanvas{pointer, {*x, *y}, *button};
}

std::optional<Action> action(const Words& w) {
    const QStringView verb = w.words[1];
    const int count = int(w.words.size()) - 2;
    const auto name = [&] { return w.words[2].toString(); };
    if (verb == u"down" && count >= 2) return pointerOnCanvas(w, Pointer::Press);
    if (verb == u"move" && count == 2) return pointerOnCanvas(w, Pointer::Move);
    if (verb == u"up" && count >= 2) return pointerOnCanvas(w, Pointer::Release);
    if (verb == u"over" && count == 1)
        return OnControl{ControlEvent::MouseMove, name(), Qt::NoButton};
    if (verb == u"press" && count >= 1) {
        if (const auto button = w.button(3))
            return OnControl{ControlEvent::MouseDown, name(), *button};
        return std::nullopt;
    }
    if (verb == u"click" && count == 1) {
        if (isMenuItem(w.words[2])) return MenuItem{name()};
        return OnControl{ControlEvent::Click, name()};
    }
    if (verb == u"type" && count >= 1) {
        const auto box = controlNamed(w.words[2]);
        // The text is all that follows the name and one blank, as it stands.
        const qsizetype start = w.words[2].end() - w.line.begin() + 1;
        const auto text = unescaped(w.line.mid(std::min(start, w.line.size())));
        if (!box || !text) return w.fail(QStringLiteral("no box or text")), std::nullopt;
        return NewText{*box, *text};
    }
    if (verb == u"key" && count == 0) return Key{};
    if (verb == u"undo" && count == 0) return Undo{};
    if (verb == u"redo" && count == 0) return Redo{};
    if (verb == u"steps" && count == 1) {
        if (const auto n = w.real(2, 0, kMaxSteps)) return Steps{static_cast<long long>(*n)};
        return std::nullopt;
    }
    if (verb == u"resize" && count == 2) {
        const auto width = w.real(2, 0, kMaxClient), height = w.real(3, 0, kMaxClient);
        if (width && height) return ClientSize{QSize(int(*width), int(*height))};
        return std::nullopt;
    }
    if (verb == u"ratio" && count == 1) {
        if (const auto r = w.real(2, 1.0 / kMaxRatio, kMaxRatio)) return DeviceRatio{*r};
        return std::nullopt;
    }
    if (verb == u"picture" && count == 1) return openedPicture(w);
    w.fail(QStringLiteral("no recorded action '%1'").arg(verb));
    return std::nullopt;
}

} // namespace

QByteArray header(QSize client, double ratio) {
    return "# quenzel recording " + QByteArray::number(kFormat) +
           "\n# quenzel " QUENZEL_VERSION ", client " + QByteArray::number(client.width()) + ' ' +
           QByteArray::number(client.height()) + ", ratio " + number(ratio) + '\n';
}

void appendLine(QByteArray& out, qint64 ms, const Action& action) {
    out << '@' << ms << ' ';
    std::visit(
        [&out](const auto& a) {
            using A = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<A, OnCanvas>) {
                out << (a.pointer == Pointer::Press  ? "down "
                        : a.pointer == Pointer::Move ? "move "
                                                     : "up ")
                    << a.pixels.x() << ' ' << a.pixels.y();
                if (a.pointer != Pointer::Move) out << ' ' << buttonName(a.button);
            } else if constexpr (std::is_same_v<A, OnControl>) {
                const QByteArray name = a.control.toUtf8();
                switch (a.event) {
                case ControlEvent::MouseMove:
                    out << "over " << name;
                    break;
                case ControlEvent::MouseDown:
                    out << "press " << name << ' ' << buttonName(a.button);
                    break;
                case ControlEvent::Click:
                    out << "click " << name;
                    break;
                }
            } else if constexpr (std::is_same_v<A, NewText>) {
                out << "type " << nameOf(a.box) << ' ' << escaped(a.text);
            } else if constexpr (std::is_same_v<A, MenuItem>) {
                out << "click " << a.name.toUtf8();
            } else if constexpr (std::is_same_v<A, Key>) {
                out << "key";
            } else if constexpr (std::is_same_v<A, Undo>) {
                out << "undo";
            } else if constexpr (std::is_same_v<A, Redo>) {
                out << "redo";
            } else if constexpr (std::is_same_v<A, Steps>) {
                out << "steps " << a.count;
            } else if constexpr (std::is_same_v<A, ClientSize>) {
                out << "resize " << a.pixels.width() << ' ' << a.pixels.height();
            } else if constexpr (std::is_same_v<A, Picture>) {
                out << "picture " << pictureData(a.image);
            } else {
                out << "ratio " << a.ratio;
            }
        },
        action);
    out << '\n';
}

QByteArray line(qint64 ms, const Action& action) {
    QByteArray out;
    appendLine(out, ms, action);
    return out;
}

QByteArray lines(const std::vector<Taken>& taken) {
    QByteArray out;
    out.reserve(qsizetype(taken.size()) * 24); // a pointer movement's line, about
    for (const Taken& t : taken) {
        if (t.comment) out += "# ";
        appendLine(out, t.ms, t.action);
    }
    return out;
}

QByteArray checkpointLine(qint64 ms, const QByteArray& data) {
    return '@' + QByteArray::number(ms) + " checkpoint " + data + '\n';
}

QByteArray endLine() { return "# end\n"; }

std::optional<Entry> parse(QStringView line, QString* error) {
    Words w{line.split(u' ', Qt::SkipEmptyParts), line, error};
    bool ok = false;
    const qint64 ms =
        w.words.size() >= 2 && w.words[0].startsWith(u'@') ? w.words[0].mid(1).toLongLong(&ok) : 0;
    if (!ok || ms < 0) return w.fail(QStringLiteral("not a recorded line")), std::nullopt;
    if (w.words[1] == u"checkpoint" && w.words.size() == 3)
        return Entry{ms, Checkpoint{w.words[2].toLatin1()}};
    if (auto a = action(w)) return Entry{ms, std::move(*a)};
    return std::nullopt;
}

std::optional<int> formatOf(QStringView line) {
    constexpr QStringView kHeader = u"# quenzel recording ";
    if (!line.startsWith(kHeader)) return std::nullopt;
    bool ok = false;
    const int format = line.mid(kHeader.size()).trimmed().toInt(&ok);
    return ok ? std::optional(format) : std::nullopt;
}

bool isEnd(QStringView line) { return line.trimmed() == u"# end"; }

std::optional<Qt::MouseButton> mouseButtonNamed(QStringView word) {
    if (word == u"left") return Qt::LeftButton;
    if (word == u"right") return Qt::RightButton;
    if (word == u"middle") return Qt::MiddleButton;
    bool ok = false;
    const uint b = word.toUInt(&ok);
    if (ok && b != 0 && (b & (b - 1)) == 0 && b <= Qt::MaxMouseButton) return Qt::MouseButton(b);
    return std::nullopt;
}

} // namespace recording
