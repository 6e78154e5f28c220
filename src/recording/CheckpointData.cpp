#include "CheckpointData.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <cmath>

namespace recording {

namespace {

constexpr quint32 kVersion = 1;
// A 4K screen at a ratio of 2 needs 32 MB; anything claiming far more is refused unread.
constexpr qsizetype kMaxBytes = qsizetype(512) << 20;
constexpr int kMaxSide = 16384;

template <typename Stream> void values(Stream& s, DrawingState& state) {
    state.visitMembers([&](const char*, auto& member) {
        if constexpr (std::is_same_v<std::decay_t<decltype(member)>, Switch>) {
            s(member.value);
        } else {
            s.value(member);
        }
    });
}

// Writes a snapshot; the same field order as Reader reads it.
struct Writer {
    QDataStream out;
    template <typename... T> void operator()(const T&... v) { (out << ... << v); }
    void value(const Value& v) {
        out << quint8(v.type());
        switch (v.type()) {
        case Value::Type::Unset:
            break;
        case Value::Type::Integer:
            out << qint16(*v.number());
            break;
        case Value::Type::Single:
            out << float(*v.number());
            break;
        case Value::Type::Double:
            out << double(*v.number());
            break;
        case Value::Type::Text:
            out << v.toText();
            break;
        }
    }
};

struct Reader {
    QDataStream in;
    template <typename... T> void operator()(T&... v) { (in >> ... >> v); }
    void value(Value& v) {
        quint8 type = 0;
        in >> type;
        switch (Value::Type(type)) {
        case Value::Type::Unset:
            v = Value();
            return;
        case Value::Type::Integer: {
            qint16 i = 0;
            in >> i;
            v = Value::integer(i);
            return;
        }
        case Value::Type::Single: {
            float f = 0;
            in >> f;
            v = Value::single(f);
            return;
        }
        case Value::Type::Double: {
            double d = 0;
            in >> d;
            v = Value::real(d);
            return;
        }
        case Value::Type::Text: {
            QString t;
            in >> t;
            v = Value::text(t);
            return;
        }
        }
        in.setStatus(QDataStream::ReadCorruptData);
    }
};

template <typename Stream> void fields(Stream& s, Drawing::Snapshot& d) {
    values(s, d.state);
    Canvas::Saved& c = d.canvas;
    Canvas::Settings& k = c.settings;
    s(c.client, c.ratio, k.scaleMode, k.foreColor, k.drawWidth, k.fontSize, k.currentX, k.currentY,
      c.changed, d.open.at, d.open.before);
    for (QString& text : d.controls.texts)
        s(text);
    s(d.resting);
}

void writePlaces(QDataStream& out, const Drawing::Snapshot& d) {
    for (std::size_t i = 0; i < ControlModel::kControls; ++i) {
        const auto& place = d.controls.places[i];
        const auto& picture = d.controls.pictures[i];
        out << place.has_value() << place.value_or(QPointF()) << picture.has_value()
            << qint32(picture ? int(*picture) : 0);
    }
}

bool readPlaces(QDataStream& in, Drawing::Snapshot& d) {
    for (std::size_t i = 0; i < ControlModel::kControls; ++i) {
        bool hasPlace = false, hasPicture = false;
        QPointF place;
        qint32 picture = 0;
        in >> hasPlace >> place >> hasPicture >> picture;
        if (picture < 0 || picture >= qint32(ControlModel::kControls)) return false;
        if (hasPlace) d.controls.places[i] = place;
        if (hasPicture) d.controls.pictures[i] = Control(picture);
    }
    return in.status() == QDataStream::Ok;
}

} // namespace

QByteArray encode(const Drawing::Snapshot& snapshot) {
    Drawing::Snapshot d = snapshot; // the fields are written through one template for both ways
    QByteArray bytes;
    Writer w{QDataStream(&bytes, QIODevice::WriteOnly)};
    w.out.setVersion(QDataStream::Qt_6_4);
    w.out << kVersion << quint64(d.random.state()) << quint64(d.random.drawn());
    fields(w, d);
    writePlaces(w.out, d);
    quint8 loop = 0;
    if (const auto* chase = std::get_if<interactive::ChaseRunner>(&d.loop)) {
        loop = 1;
        w.out << loop << chase->targetX() << chase->targetY() << qint32(chase->shownFrame());
    } else {
        loop = std::holds_alternative<Drawing::DotsRunning>(d.loop) ? 2 : 0;
        w.out << loop;
    }
    const QImage& raster = d.canvas.raster;
    w.out << qint32(raster.width()) << qint32(raster.height());
    for (int y = 0; y < raster.height(); ++y)
        w.out.writeRawData(reinterpret_cast<const char*>(raster.constScanLine(y)),
                           raster.width() * 4);
    return qCompress(bytes).toBase64();
}

std::optional<Drawing::Snapshot> decode(const QByteArray& data, QString* error) {
    const auto fail = [&](const char* why) {
        if (error) *error = QString::fromLatin1(why);
        return std::nullopt;
    };
    const QByteArray compressed = QByteArray::fromBase64(data);
    // qUncompress trusts the size in its first four bytes; a bomb is refused before that.
    if (compressed.size() < 4 || qFromBigEndian<quint32>(compressed.constData()) > kMaxBytes)
        return fail("the checkpoint claims more than a drawing can hold");
    const QByteArray bytes = qUncompress(compressed);
    if (bytes.isEmpty()) return fail("the checkpoint is damaged");
    Drawing::Snapshot d;
    Reader r{QDataStream(bytes)};
    r.in.setVersion(QDataStream::Qt_6_4);
    quint32 version = 0;
    quint64 state = 0, drawn = 0;
    r.in >> version;
    if (version != kVersion) return fail("the checkpoint is of another version");
    r.in >> state >> drawn;
    d.random = Random(state, drawn);
    fields(r, d);
    if (r.in.status() != QDataStream::Ok || !readPlaces(r.in, d))
        return fail("the checkpoint is damaged");
    quint8 loop = 0;
    r.in >> loop;
    if (loop == 1) {
        float x = 0, y = 0;
        qint32 frame = 0;
        r.in >> x >> y >> frame;
        if (frame < 0 || frame > 8) return fail("the checkpoint is damaged");
        d.loop = interactive::ChaseRunner(x, y, frame);
    } else if (loop == 2) {
        d.loop = Drawing::DotsRunning{};
    } else if (loop != 0) {
        return fail("the checkpoint is damaged");
    }
    const Canvas::Saved& c = d.canvas;
    qint32 width = 0, height = 0;
    r.in >> width >> height;
    if (r.in.status() != QDataStream::Ok || !(c.ratio >= 1.0 / 16 && c.ratio <= 16) ||
        c.client.width() < 0 || c.client.height() < 0 || c.client.width() > kMaxSide ||
        c.client.height() > kMaxSide || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide || qsizetype(width) * height * 4 != bytes.size() - r.in.device()->pos() ||
        width < std::ceil(c.client.width() * c.ratio) ||
        height < std::ceil(c.client.height() * c.ratio))
        return fail("the checkpoint's picture does not fit its drawing");
    if (!d.open.before.isNull())
        d.open.before = d.open.before.convertToFormat(QImage::Format_RGB32);
    const Canvas::Settings& k = c.settings;
    if (!(k.scaleMode == Canvas::Twips || k.scaleMode == Canvas::Pixels) || k.drawWidth < 1 ||
        !std::isfinite(k.fontSize))
        return fail("the checkpoint's settings are out of range");
    QImage raster(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        r.in.readRawData(reinterpret_cast<char*>(raster.scanLine(y)), width * 4);
    d.canvas.raster = std::move(raster);
    return d;
}

} // namespace recording
