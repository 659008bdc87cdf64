#include "platform/DefaultsFileFormat.h"

#include "base/Json.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <cmath>
#include <limits>

namespace mendo::defaults_file {

namespace {

// Tags of the one-key objects that carry the types JSON lacks.
const QString kData = QStringLiteral("$data");
const QString kDate = QStringLiteral("$date");
const QString kMap = QStringLiteral("$map");

bool isIntegerType(int type)
{
    return type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::Long
        || type == QMetaType::ULong || type == QMetaType::ULongLong || type == QMetaType::Short
        || type == QMetaType::UShort;
}

bool isTagKey(const QString& key)
{
    return key == kData || key == kDate || key == kMap;
}

void writeString(QByteArray& out, const QString& s)
{
    json::appendString(out, s);
}

// Doubles always carry a point or an exponent so that 2.0 reads back as a
// double, not as the integer 2.
QByteArray doubleText(double d)
{
    if (d == 0)
        return std::signbit(d) ? "-0.0" : "0.0";
    QByteArray text = QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
    if (!text.contains('.') && !text.contains('e'))
        text += ".0";
    return text;
}

// Straight into `out`: stored data can be megabytes (a long clipboard
// history), and QByteArray::toBase64 plus the copy cost several times this.
void appendBase64(QByteArray& out, const QByteArray& data)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* in = reinterpret_cast<const unsigned char*>(data.constData());
    const qsizetype n = data.size();
    const qsizetype start = out.size();
    out.resize(start + (n + 2) / 3 * 4);
    char* p = out.data() + start;
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const quint32 v = quint32(in[i]) << 16 | quint32(in[i + 1]) << 8 | in[i + 2];
        *p++ = alphabet[v >> 18];
        *p++ = alphabet[(v >> 12) & 63];
        *p++ = alphabet[(v >> 6) & 63];
        *p++ = alphabet[v & 63];
    }
    if (i < n) {
        const quint32 v = quint32(in[i]) << 16 | (i + 1 < n ? quint32(in[i + 1]) << 8 : 0);
        *p++ = alphabet[v >> 18];
        *p++ = alphabet[(v >> 12) & 63];
        *p++ = i + 1 < n ? alphabet[(v >> 6) & 63] : '=';
        *p++ = '=';
    }
}

void writeValue(QByteArray& out, const QVariant& value);

void writeMembers(QByteArray& out, const QVariantMap& map, const char* separator, const char* colon)
{
    bool first = true;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (!isStorable(it.value()))
            continue;
        if (!first)
            out += separator;
        first = false;
        writeString(out, it.key());
        out += colon;
        writeValue(out, it.value());
    }
}

void writeMap(QByteArray& out, const QVariantMap& map)
{
    // A user map that looks like a tag is wrapped so that it reads back as a map.
    if (map.size() == 1 && isTagKey(map.firstKey())) {
        out += "{\"$map\":{";
        writeString(out, map.firstKey());
        out += ':';
        writeValue(out, map.first());
        out += "}}";
        return;
    }
    out += '{';
    writeMembers(out, map, ",", ":");
    out += '}';
}

void writeValue(QByteArray& out, const QVariant& value)
{
    const int type = value.typeId();
    if (type == QMetaType::QString) {
        writeString(out, value.toString());
    } else if (type == QMetaType::Bool) {
        out += value.toBool() ? "true" : "false";
    } else if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
        out += QByteArray::number(value.toULongLong());
    } else if (isIntegerType(type)) {
        out += QByteArray::number(value.toLongLong());
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        out += doubleText(value.toDouble());
    } else if (type == QMetaType::QByteArray) {
        out += "{\"$data\":\"";
        appendBase64(out, value.toByteArray());
        out += "\"}";
    } else if (type == QMetaType::QDateTime) {
        out += "{\"$date\":" + doubleText(double(value.toDateTime().toMSecsSinceEpoch()) / 1000.0) + '}';
    } else if (type == QMetaType::QVariantMap) {
        writeMap(out, value.toMap());
    } else if (type == QMetaType::QVariantList || type == QMetaType::QStringList) {
        out += '[';
        bool first = true;
        for (const QVariant& element : value.toList()) {
            if (!isStorable(element))
                continue;
            if (!first)
                out += ',';
            first = false;
            writeValue(out, element);
        }
        out += ']';
    }
}

// A strict JSON reader that keeps integers and doubles apart (Qt's own turns
// 2.0 into an integer). Objects come back untagged; tags are read afterwards.
class Reader {
public:
    explicit Reader(const QByteArray& text)
        : m_p(text.constData())
        , m_begin(m_p)
        , m_end(m_p + text.size())
    {
        if (m_end - m_p >= 3 && QByteArray(m_p, 3) == "\xEF\xBB\xBF")
            m_p += 3;
    }

    // An invalid QVariant stands for null.
    std::optional<QVariant> document()
    {
        auto v = value();
        if (v) {
            skipBlanks();
            if (m_p != m_end)
                return fail("unexpected text after the end of the document");
        }
        return v;
    }

    QString error;

private:
    std::nullopt_t fail(const char* what)
    {
        if (error.isEmpty())
            error = QStringLiteral("%1 at byte %2").arg(QLatin1String(what)).arg(m_p - m_begin);
        return std::nullopt;
    }

    void skipBlanks()
    {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\n' || *m_p == '\r'))
            ++m_p;
    }

    bool literal(const char* word)
    {
        const qsizetype n = qstrlen(word);
        if (m_end - m_p < n || QByteArray(m_p, n) != word)
            return false;
        m_p += n;
        return true;
    }

    std::optional<QVariant> value()
    {
        if (++m_depth > 256)
            return fail("nesting too deep");
        skipBlanks();
        std::optional<QVariant> result;
        if (m_p == m_end)
            result = fail("unexpected end of text");
        else if (*m_p == '{')
            result = object();
        else if (*m_p == '[')
            result = array();
        else if (*m_p == '"') {
            if (auto s = string())
                result = QVariant(*s);
            else
                result = std::nullopt;
        } else if (literal("true"))
            result = QVariant(true);
        else if (literal("false"))
            result = QVariant(false);
        else if (literal("null"))
            result = QVariant();
        else
            result = number();
        --m_depth;
        return result;
    }

    std::optional<QVariant> number()
    {
        const char* start = m_p;
        bool isDouble = false;
        if (m_p != m_end && *m_p == '-')
            ++m_p;
        const char* digits = m_p;
        while (m_p != m_end && *m_p >= '0' && *m_p <= '9')
            ++m_p;
        if (m_p == digits || (*digits == '0' && m_p - digits > 1))
            return fail("invalid value");
        if (m_p != m_end && *m_p == '.') {
            isDouble = true;
            const char* fraction = ++m_p;
            while (m_p != m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
            if (m_p == fraction)
                return fail("invalid number");
        }
        if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
            isDouble = true;
            ++m_p;
            if (m_p != m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            const char* exponent = m_p;
            while (m_p != m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
            if (m_p == exponent)
                return fail("invalid number");
        }
        const QByteArray text(start, m_p - start);
        bool ok = false;
        if (!isDouble) {
            const qint64 i = text.toLongLong(&ok);
            if (ok)
                return QVariant(i);
        }
        // Also integers beyond the 64-bit range.
        const double d = text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return fail("number out of range");
        return QVariant(d);
    }

    std::optional<QString> string()
    {
        ++m_p;  // the opening quote
        QString result;
        const char* run = m_p;
        auto flush = [&] { result += QString::fromUtf8(run, m_p - run); };
        bool escapedSurrogate = false;
        while (true) {
            if (m_p == m_end)
                return fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(*m_p);
            if (c == '"') {
                flush();
                ++m_p;
                if (escapedSurrogate)
                    replaceLoneSurrogates(result);
                return result;
            }
            if (c < 0x20)
                return fail("control character in a string");
            if (c != '\\') {
                ++m_p;
                continue;
            }
            flush();
            ++m_p;
            if (m_p == m_end)
                return fail("unterminated string");
            switch (*m_p++) {
            case '"':
                result += u'"';
                break;
            case '\\':
                result += u'\\';
                break;
            case '/':
                result += u'/';
                break;
            case 'b':
                result += u'\b';
                break;
            case 'f':
                result += u'\f';
                break;
            case 'n':
                result += u'\n';
                break;
            case 'r':
                result += u'\r';
                break;
            case 't':
                result += u'\t';
                break;
            case 'u': {
                if (m_end - m_p < 4)
                    return fail("invalid escape");
                bool ok = false;
                const ushort unit = QByteArray(m_p, 4).toUShort(&ok, 16);
                if (!ok)
                    return fail("invalid escape");
                m_p += 4;
                result += QChar(unit);
                escapedSurrogate = escapedSurrogate || QChar::isSurrogate(unit);
                break;
            }
            default:
                return fail("invalid escape");
            }
            run = m_p;
        }
    }

    // Escapes may spell half a surrogate pair, which no UTF-8 writer can
    // keep: the text would change at its first save. Such a half reads as
    // U+FFFD, as malformed UTF-8 does, so that what is read is what is kept.
    static void replaceLoneSurrogates(QString& text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            else if (c.isSurrogate())
                text[i] = QChar::ReplacementCharacter;
        }
    }

    std::optional<QVariant> array()
    {
        ++m_p;
        QVariantList list;
        skipBlanks();
        if (m_p != m_end && *m_p == ']') {
            ++m_p;
            return QVariant(list);
        }
        while (true) {
            auto element = value();
            if (!element)
                return std::nullopt;
            if (element->isValid())
                list.append(*element);
            skipBlanks();
            if (m_p != m_end && *m_p == ',') {
                ++m_p;
                continue;
            }
            if (m_p != m_end && *m_p == ']') {
                ++m_p;
                return QVariant(list);
            }
            return fail("expected , or ] in an array");
        }
    }

    std::optional<QVariant> object()
    {
        ++m_p;
        QVariantMap map;
        skipBlanks();
        if (m_p != m_end && *m_p == '}') {
            ++m_p;
            return QVariant(map);
        }
        while (true) {
            skipBlanks();
            if (m_p == m_end || *m_p != '"')
                return fail("expected a key");
            auto key = string();
            if (!key)
                return std::nullopt;
            skipBlanks();
            if (m_p == m_end || *m_p != ':')
                return fail("expected :");
            ++m_p;
            auto element = value();
            if (!element)
                return std::nullopt;
            if (element->isValid())
                map.insert(*key, *element);
            skipBlanks();
            if (m_p != m_end && *m_p == ',') {
                ++m_p;
                continue;
            }
            if (m_p != m_end && *m_p == '}') {
                ++m_p;
                return QVariant(map);
            }
            return fail("expected , or } in an object");
        }
    }

    const char* m_p;
    const char* m_begin;
    const char* m_end;
    int m_depth = 0;
};

QVariant untag(const QVariant& raw);

QVariantMap untagEach(const QVariantMap& map)
{
    QVariantMap result;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        result.insert(it.key(), untag(it.value()));
    return result;
}

// Reads the one-key tag objects; anything that is not a well-formed tag
// stays a plain map.
QVariant untag(const QVariant& raw)
{
    if (raw.typeId() == QMetaType::QVariantList) {
        QVariantList result;
        for (const QVariant& element : raw.toList())
            result.append(untag(element));
        return result;
    }
    if (raw.typeId() != QMetaType::QVariantMap)
        return raw;
    const QVariantMap map = raw.toMap();
    if (map.size() == 1) {
        const QVariant& inner = map.first();
        if (map.firstKey() == kData && inner.typeId() == QMetaType::QString) {
            const auto decoded
                = QByteArray::fromBase64Encoding(inner.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (decoded)
                return *decoded;
        } else if (map.firstKey() == kDate
            && (inner.typeId() == QMetaType::Double || inner.typeId() == QMetaType::LongLong)) {
            const double ms = std::round(inner.toDouble() * 1000.0);
            if (std::abs(ms) < 8.64e18)
                return QDateTime::fromMSecsSinceEpoch(qint64(ms), Qt::UTC);
        } else if (map.firstKey() == kMap && inner.typeId() == QMetaType::QVariantMap) {
            return untagEach(inner.toMap());
        }
    }
    return untagEach(map);
}

}  // namespace

bool isStorable(const QVariant& value)
{
    const int type = value.typeId();
    if (type == QMetaType::QString || type == QMetaType::Bool || isIntegerType(type) || type == QMetaType::QByteArray)
        return true;
    if (type == QMetaType::Double || type == QMetaType::Float)
        return std::isfinite(value.toDouble());
    if (type == QMetaType::QDateTime)
        return value.toDateTime().isValid();
    if (type == QMetaType::QStringList)
        return true;
    if (type == QMetaType::QVariantList) {
        for (const QVariant& element : value.toList())
            if (!isStorable(element))
                return false;
        return true;
    }
    if (type == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            if (!isStorable(it.value()))
                return false;
        return true;
    }
    return false;
}

QByteArray encodeValue(const QVariant& value)
{
    QByteArray out;
    writeValue(out, value);
    return out;
}

QByteArray encode(const QVariantMap& values)
{
    QByteArray out;
    out.reserve(4096);
    // One key per line keeps the file readable and diffable.
    out += "{\n";
    writeMembers(out, values, ",\n", ": ");
    out += "\n}\n";
    return out;
}

std::optional<QVariant> decodeDocument(const QByteArray& text, QString* error)
{
    Reader reader(text);
    auto document = reader.document();
    if (!document && error)
        *error = reader.error;
    return document;
}

std::optional<QVariantMap> decode(const QByteArray& text, QString* error)
{
    Reader reader(text);
    const auto document = reader.document();
    if (!document) {
        if (error)
            *error = reader.error;
        return std::nullopt;
    }
    if (document->typeId() != QMetaType::QVariantMap) {
        if (error)
            *error = QStringLiteral("the document is not a JSON object");
        return std::nullopt;
    }
    // The top level is the key table itself, never a tag.
    return untagEach(document->toMap());
}

}  // namespace mendo::defaults_file
